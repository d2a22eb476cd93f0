// The texts of the virtual box's 4 x 16 character LCD: reports of pot and button actions, the
// bar graph of the pot values, the placeholder screen and the two start-up screens, and the
// order in which clicks on the display step through its modes. Exact to the character.
#pragma once

#include "bank_record.h"

#include <array>
#include <string>
#include <string_view>

namespace lcd_text {

constexpr int kLineLength = 16;
constexpr int kLineCount = 4;
using Lines = std::array<std::string, kLineCount>;

// Report of the last action, on the plain panel (0) or the dot matrix (1); bar graph (2);
// placeholder (3).
enum Mode { kPanelReport = 0, kReport = 1, kBarGraph = 2, kPlaceholder = 3 };
constexpr int kHighestMode = kPlaceholder;

// The first 16 characters of `text`, spaces from its first NUL on and up to 16.
std::string lcdLine(std::string_view text);

// The 15 label characters of pot n (1..64) after its mode character, cut at the first NUL;
// trailing spaces stay.
std::string potLabelText(const BankRecord& bank, int n);

Lines potReport(const BankRecord& bank, int potIndex);
Lines buttonReport(const BankRecord& bank, int buttonIndex, bool pushed);
Lines barGraph(const BankRecord& bank);
Lines placeholder();
Lines startupScreen(bool initialized);

// All four lines for the display mode; `id` is a pot index 0..63 or 1001 + a button index.
Lines refresh(int mode, int id, const BankRecord& bank,
              const std::array<bool, bank_layout::kEntryCount>& buttonStates);

// A click on the dot-matrix display: the next mode, and whether the plain panel takes over
// (only from the last mode, and only while the desk window is visible).
struct DotMatrixClick {
    int mode;
    bool showPanel;
};
DotMatrixClick clickDotMatrix(int mode, bool windowVisible);

} // namespace lcd_text
