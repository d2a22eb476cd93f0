#include "lcd_messages.h"
#include "text_format.h"

#include <cstdio>

namespace lcd_text {

namespace {

// The credit line of both start-up screens.
constexpr std::string_view kCreditLine = "  vPultron64 Qt ";
static_assert(kCreditLine.size() == kLineLength);

Lines padded(const Lines& lines) {
    Lines result;
    for (int i = 0; i < kLineCount; ++i)
        result[std::size_t(i)] = lcdLine(lines[std::size_t(i)]);
    return result;
}

// Rising bars of the Hitachi font: codes 1 (empty) to 15 (full) for values 0..127.
char barCode(int value) {
    return static_cast<char>((value + 7) / 9 + 1);
}

} // namespace

std::string lcdLine(std::string_view text) {
    std::string line(text.substr(0, kLineLength));
    const auto nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    line.resize(kLineLength, ' ');
    return line;
}

std::string potLabelText(const BankRecord& bank, int n) {
    const auto record = bank.labelRecord(n);
    std::string text;
    for (std::size_t i = 1; i < record.size() && record[i] != 0; ++i)
        text.push_back(static_cast<char>(record[i]));
    return text;
}

Lines potReport(const BankRecord& bank, int potIndex) {
    const int n = potIndex + 1;
    return padded({"Potmeter Moved  ", potLabelText(bank, n), formatText("Knob ID : %3d ", n),
                   formatText("Value   : %3d ", int(bank.initialValue(n)))});
}

Lines buttonReport(const BankRecord& bank, int buttonIndex, bool pushed) {
    const ButtonEntry entry = bank.button(buttonIndex + 1);
    return padded({pushed ? "Button Pushed   " : "Button Released ",
                   formatText("   %02X %02X %02X    ", int(fullStatus(entry.status)),
                              int(entry.data1), pushed ? int(entry.data2) : 0),
                   formatText("Button ID : %d ", buttonIndex + 1), "--------------- "});
}

Lines barGraph(const BankRecord& bank) {
    Lines lines;
    for (int row = 0; row < kLineCount; ++row) {
        std::string line;
        for (int column = 0; column < kLineLength - 1; ++column)
            line.push_back(barCode(bank.initialValue(row * 16 + column + 1)));
        lines[std::size_t(row)] = lcdLine(line);
    }
    return lines;
}

Lines placeholder() {
    return padded({" Display Mode 3 ", "Not Implemented ", "   Yet !!!!!!   ", ""});
}

Lines startupScreen(bool initialized) {
    return padded({initialized ? "  Initialized   " : "  Initializing  ", "    Virtual     ",
                   "   Pultron64    ", std::string(kCreditLine)});
}

Lines refresh(int mode, int id, const BankRecord& bank,
              const std::array<bool, bank_layout::kEntryCount>& buttonStates) {
    switch (mode) {
    case kBarGraph:
        return barGraph(bank);
    case kPlaceholder:
        return placeholder();
    default:
        break;
    }
    constexpr int kButtonIdBase = 1001;
    if (id >= kButtonIdBase) {
        const int button = id - kButtonIdBase;
        const bool valid = button < bank_layout::kEntryCount;
        return buttonReport(bank, valid ? button : 0, valid && buttonStates[std::size_t(button)]);
    }
    return potReport(bank, id >= 0 && id < bank_layout::kEntryCount ? id : 0);
}

DotMatrixClick clickDotMatrix(int mode, bool windowVisible) {
    const int next = mode + 1;
    if (next <= kHighestMode) return {next, false};
    return windowVisible ? DotMatrixClick{kPanelReport, true} : DotMatrixClick{kReport, false};
}

} // namespace lcd_text
