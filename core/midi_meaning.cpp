#include "midi_meaning.h"
#include "text_format.h"

#include "control_events.h"
#include "event_words.h"
#include "sysex_protocol.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace midi_meaning {
namespace {

using Bytes = std::span<const std::uint8_t>;

// printf-style formatting into a string (the compiler's library has no format).
constexpr std::size_t kShownBytes = 16;
constexpr std::size_t kHeadBytes = 8;

// Digits by hand: the monitor formats every message it sees, thousands a second.
std::string hexList(Bytes bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text;
}

// Names and data length of the channel messages, by the high nibble of the status.
struct ChannelKind {
    const char* name;
    int length;
};
ChannelKind channelKind(std::uint8_t status) {
    switch (status >> 4) {
    case 0x8:
        return {"Note Off", 3};
    case 0x9:
        return {"Note On", 3};
    case 0xA:
        return {"Poly Aftertouch", 3};
    case 0xB:
        return {"Control Change", 3};
    case 0xC:
        return {"Program Change", 2};
    case 0xD:
        return {"Channel Aftertouch", 2};
    default:
        return {"Pitch Bend", 3};
    }
}

std::string channelValues(Bytes m) {
    switch (m[0] >> 4) {
    case 0x8:
        return noteName(m[1]) + formatText(" vel %d", m[2]);
    case 0x9:
        // By MIDI convention a note-on of velocity 0 releases the note.
        return noteName(m[1]) + formatText(" vel %d", m[2]) + (m[2] == 0 ? " (note off)" : "");
    case 0xA:
        return noteName(m[1]) + formatText(" = %d", m[2]);
    case 0xB:
        return formatText("cc %d = %d", m[1], m[2]);
    case 0xC:
        return formatText("program %d", m[1]);
    case 0xD:
        return formatText("= %d", m[1]);
    default:
        return formatText("= %d", (m[2] << 7 | m[1]) - 8192);
    }
}

// The bank's pots and buttons that send exactly this message: the first by name, the others
// counted, so that a bank whose controls share an event still gives a short line.
std::string bankNames(Bytes m, const BankRecord& bank) {
    if (m.size() != 3) return {};
    const ShortMessage message{m[0], m[1], m[2]};
    std::string first;
    int others = 0;
    const auto add = [&](const auto& name) {
        if (first.empty())
            first = name();
        else
            ++others;
    };
    for (int i = 0; i < bank_layout::kEntryCount; ++i) {
        if (potEvent(bank, i, m[2]) != message) continue;
        add([&] {
            const std::string label = bank.potLabel(i + 1);
            return label.empty() ? formatText("pot %d = %d", i + 1, m[2])
                                 : formatText("pot %d \"%s\" = %d", i + 1, label.c_str(), m[2]);
        });
    }
    for (int i = 0; i < bank_layout::kEntryCount; ++i) {
        if (buttonEvent(bank, i, true) == message)
            add([&] { return formatText("button %d pressed", i + 1); });
        else if (buttonEvent(bank, i, false) == message)
            add([&] { return formatText("button %d released", i + 1); });
    }
    if (first.empty()) return {};
    return ", " + first + (others > 0 ? formatText(" and %d more", others) : "");
}

std::string channelMeaning(Bytes m, const BankRecord* bank) {
    const ChannelKind kind = channelKind(m[0]);
    const int ch = (m[0] & 0x0F) + 1;
    if (int(m.size()) != kind.length ||
        std::any_of(m.begin() + 1, m.end(), [](std::uint8_t b) { return b >= 0x80; }))
        return formatText("%s ch %d, malformed (%zu bytes)", kind.name, ch, m.size());
    std::string text = formatText("%s ch %d ", kind.name, ch) + channelValues(m);
    if (bank) text += bankNames(m, *bank);
    return text;
}

std::string systemMeaning(Bytes m) {
    switch (m[0]) {
    case 0xF1:
        return m.size() == 2 ? formatText("MTC Quarter Frame %02X", m[1]) : "MTC Quarter Frame";
    case 0xF2:
        return m.size() == 3 ? formatText("Song Position %d", m[2] << 7 | m[1]) : "Song Position";
    case 0xF3:
        return m.size() == 2 ? formatText("Song Select %d", m[1]) : "Song Select";
    case 0xF6:
        return "Tune Request";
    case 0xF7:
        return "End of SysEx";
    case 0xF8:
        return "Timing Clock";
    case 0xFA:
        return "Start";
    case 0xFB:
        return "Continue";
    case 0xFC:
        return "Stop";
    case 0xFE:
        return "Active Sensing";
    case 0xFF:
        return "System Reset";
    default:
        return formatText("Undefined %02X", m[0]);
    }
}

std::string deviceReply(const char* name, Bytes m) {
    // The codes follow byte 6 and end before the closing F7, as the receiver reads them.
    const auto first = std::size_t(sysex::kBlockDataIndex);
    if (m.size() <= first + 1) return name;
    return std::string(name) + " " + hexList(m.subspan(first, m.size() - first - 1));
}

std::string dumpBlock(Bytes m, int device) {
    if (m.size() != std::size_t(sysex::kBlockSize))
        return formatText("dump block (device %d, %zu bytes, wrong length)", device, m.size());
    const int block = m[sysex::kBlockNumberIndex];
    const bool ok =
        sysex::blockChecksum(block, m.subspan(sysex::kBlockDataIndex, sysex::kBlockDataSize)) ==
        m[sysex::kBlockChecksumIndex];
    return formatText("dump block %d of %d (device %d, %zu bytes, checksum %s)", block + 1,
                      sysex::kBlockCount, device, m.size(), ok ? "ok" : "wrong");
}

std::string controllerMeaning(Bytes m) {
    const std::uint8_t deviceCommand = m[sysex::kDeviceCommandIndex];
    const int device = deviceCommand >> 4;
    const bool hasArgument = m.size() > std::size_t(sysex::kBlockNumberIndex + 1);
    const int argument = hasArgument ? m[sysex::kBlockNumberIndex] : -1;
    switch (deviceCommand & 0x0F) {
    case sysex::WholeDump:
        return formatText("whole dump (device %d, %zu bytes)", device, m.size());
    case sysex::BlockDump:
        return dumpBlock(m, device);
    case sysex::DumpRequest:
        return formatText("dump request (device %d)", device);
    case sysex::BankNumberMessage:
        if (!hasArgument) break;
        return formatText("bank number %d (device %d)", argument + 1, device);
    case sysex::BankChangeRequest:
        if (!hasArgument) break;
        return formatText("bank change request to bank %d (device %d)", argument + 1, device);
    case sysex::ErrorResponse:
        return deviceReply("error reply", m);
    case sysex::Acknowledge:
        return deviceReply("acknowledge", m);
    default:
        break;
    }
    return formatText("%s command %X (device %d, %zu bytes)",
                      sysex::ModelName(sysex::kModelId).data(), deviceCommand & 0x0F, device,
                      m.size());
}

std::string manufacturer(Bytes m) {
    if (m.size() < 2) return "none";
    switch (m[1]) {
    case 0x7D:
        return "non-commercial";
    case 0x7E:
        return "universal non-real-time";
    case 0x7F:
        return "universal real-time";
    case 0x00:
        return m.size() >= 4 ? hexList(m.subspan(1, 3)) : "00";
    default:
        return formatText("%02X", m[1]);
    }
}

// A message without its F7 was broken off: by the status byte it ends with, or where it stops.
std::string cutOff(Bytes m) {
    if (m.back() == sysex::kEnd) return {};
    return m.size() > 1 && m.back() >= 0x80 ? formatText(", cut off by %02X", m.back())
                                            : ", cut off";
}

std::string sysExMeaning(Bytes m) {
    const bool controller = m.size() > std::size_t(sysex::kDeviceCommandIndex + 1) &&
                            std::equal(sysex::kHeader.begin(), sysex::kHeader.end(), m.begin());
    if (controller) return controllerMeaning(m) + cutOff(m);
    return formatText("SysEx, %zu bytes, manufacturer ", m.size()) + manufacturer(m) + cutOff(m);
}

} // namespace

Category category(Bytes message) {
    if (message.empty() || message[0] < 0xF0) return Category::Channel;
    if (message[0] == sysex::kStart) return Category::SysEx;
    return message[0] >= 0xF8 ? Category::RealTime : Category::Common;
}

int channel(Bytes message) {
    if (message.empty() || message[0] < 0x80 || message[0] >= 0xF0) return 0;
    return (message[0] & 0x0F) + 1;
}

std::string hexBytes(Bytes message) {
    if (message.size() <= kShownBytes) return hexList(message);
    return hexList(message.first(kHeadBytes)) + formatText(" ... (%zu bytes)", message.size());
}

std::string meaning(Bytes message, const BankRecord* bank) {
    if (message.empty()) return "empty message";
    // The monitor joins data bytes until a status byte; an F7 ends a SysEx message begun earlier.
    if (message[0] < 0x80)
        return message.back() == sysex::kEnd ? "the rest of a SysEx message"
                                             : "data bytes without a status";
    switch (category(message)) {
    case Category::Channel:
        return channelMeaning(message, bank);
    case Category::SysEx:
        return sysExMeaning(message);
    default:
        return systemMeaning(message);
    }
}

std::string monitorLine(std::int64_t ms, Direction direction, std::string_view port, Bytes message,
                        const BankRecord* bank) {
    return formatText("%8lld %-3s ", static_cast<long long>(ms),
                      direction == Direction::In ? "in" : "out") +
           std::string(port) + "  " + hexBytes(message) + "  " + meaning(message, bank);
}

} // namespace midi_meaning
