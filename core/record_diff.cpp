#include "record_diff.h"

#include <array>
#include <cstdio>
#include <functional>

using namespace bank_layout;

namespace {

// Bits of one byte that a field shows; a field may span several bytes.
struct Bits {
    int offset;
    std::uint8_t mask = 0xFF;
};

using Caption = std::function<std::string(const BankRecord&)>;

// One field of the record: which bits it covers, what it is called (the caption may depend on
// the event type the record holds) and how its value reads.
struct Field {
    std::vector<Bits> bits;
    std::string prefix;
    Caption caption;
    std::function<std::string(const BankRecord&)> value;
};

std::string hexByte(int byte) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", byte & 0xFF);
    return text;
}

std::string hexOffset(int offset) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%03X", offset);
    return text;
}

std::string quoted(const std::string& text) {
    return '"' + text + '"';
}

std::string onOff(bool on) {
    return on ? "on" : "off";
}

Caption fixedName(std::string name) {
    return [name = std::move(name)](const BankRecord&) { return name; };
}

int eventType(std::uint8_t storedStatusByte) {
    return fullStatus(storedStatusByte) >> 4;
}

std::string eventTypeName(std::uint8_t storedStatusByte) {
    static const std::array<const char*, 8> names{
        "Note Off",           "Note On",      "Poly Aftertouch", "Controller", "Program Change",
        "Channel Aftertouch", "Pitch Bender", "Meta Event"};
    return names[eventType(storedStatusByte) - 8];
}

// The caption of an entry's first data byte, as the pot and button pages name it by event type.
std::string dataByte1Caption(std::uint8_t storedStatusByte) {
    static const std::array<const char*, 8> captions{"note",       "note",         "note",
                                                     "controller", "program",      "pressure value",
                                                     "pitch MSB",  "meta event nr"};
    return captions[eventType(storedStatusByte) - 8];
}

std::string buttonByte2Caption(std::uint8_t storedStatusByte) {
    static const std::array<const char*, 8> captions{"velocity", "velocity", "value",     "value",
                                                     "not used", "not used", "pitch LSB", "value"};
    return captions[eventType(storedStatusByte) - 8];
}

std::string channelCaption(std::uint8_t storedStatusByte) {
    return eventType(storedStatusByte) == 0xF ? "meta id" : "midi channel";
}

std::string mergerName(MergerMode mode) {
    static const std::array<const char*, 4> names{"MIDI Merger off", "MIDI Merger on",
                                                  "Pultron Link EP", "Pultron Link FP"};
    return names[static_cast<int>(mode)];
}

std::string potBehaviourName(PotBehaviour behaviour) {
    static const std::array<const char*, 4> names{"Normal", "Snap", "Relative", "Parallax"};
    return names[static_cast<int>(behaviour)];
}

std::string labelModeName(std::uint8_t modeChar) {
    static const std::array<const char*, 8> names{"HEX",  "+-HEX",  "DEC",  "+-DEC",
                                                  "HEX|", "+-HEX|", "DEC|", "+-DEC|"};
    const auto& chars = BankRecord::labelModeChars();
    for (std::size_t i = 0; i < chars.size(); ++i)
        if (chars[i] == modeChar) return names[i];
    return hexByte(modeChar); // unknown characters read as HEX; the raw byte tells them apart
}

} // namespace

std::string buttonModeName(int mode) {
    static const std::array<const char*, 3> names{"ON/OFF", "ON ONLY", "TOGGLE"};
    return mode < 3 ? names[mode] : std::to_string(mode);
}

std::string ledMapName(int value) {
    if (value == 0) return "Default Setting";
    if (value <= 8) {
        const int first = 8 * (value - 1);
        return "DIN SR #" + std::to_string(value) + " (Button ID #" + std::to_string(first) + "-" +
               std::to_string(first + 7) + ")";
    }
    if (value == 10) return "External Bank (1 of 8)";
    if (value >= 16 && value <= 23) {
        const int first = 8 * (value - 16);
        return "MIDI Status rec. for Entry #" + std::to_string(first) + "-" +
               std::to_string(first + 7);
    }
    if (value < 16) return "reserved";
    return std::to_string(value);
}

namespace {

// Every field of an entry of four bytes: event type, channel, then the three data bytes.
void addEntryFields(std::vector<Field>& fields, const std::string& prefix, int offset,
                    const std::array<std::function<std::string(std::uint8_t)>, 3>& captions,
                    const std::function<std::string(int)>& showLast) {
    auto status = [offset](const BankRecord& r) { return r.byteAt(offset); };
    fields.push_back(
        {{{offset, 0xF0}}, prefix, fixedName("event type"), [status](const BankRecord& r) {
             return eventTypeName(status(r));
         }});
    fields.push_back(
        {{{offset, 0x0F}},
         prefix,
         [status](const BankRecord& r) { return channelCaption(status(r)); },
         [status](const BankRecord& r) { return std::to_string((status(r) & 15) + 1); }});
    for (int i = 0; i < 3; ++i) {
        const auto caption = captions[i];
        const auto show = i == 2 ? showLast : [](int v) { return std::to_string(v); };
        fields.push_back(
            {{{offset + 1 + i}},
             prefix,
             [caption, status](const BankRecord& r) { return caption(status(r)); },
             [show, offset, i](const BankRecord& r) { return show(r.byteAt(offset + 1 + i)); }});
    }
}

std::function<std::string(std::uint8_t)> fixedCaption(std::string caption) {
    return [caption = std::move(caption)](std::uint8_t) { return caption; };
}

std::string potPrefix(int n) {
    return "pot " + std::to_string(n) + " ";
}

void addByteField(std::vector<Field>& fields, int offset, const std::string& kind) {
    fields.push_back(
        {{{offset}}, "", fixedName(kind + " " + hexOffset(offset)), [offset](const BankRecord& r) {
             return hexByte(r.byteAt(offset));
         }});
}

void addNumberField(std::vector<Field>& fields, int offset, const std::string& name,
                    const std::function<std::string(int)>& show) {
    fields.push_back(
        {{{offset}, {offset + 1}}, "", fixedName(name), [offset, show](const BankRecord& r) {
             return show(r.nibblePair(offset));
         }});
}

std::string number(int value) {
    return std::to_string(value);
}

void addFlag(std::vector<Field>& fields, int offset, std::uint8_t bit, const std::string& name) {
    fields.push_back({{{offset, bit}}, "", fixedName(name), [offset, bit](const BankRecord& r) {
                          return onOff(r.byteAt(offset) & bit);
                      }});
}

// Bits of a flag byte that no setting names, so that a change there is never silent.
void addOtherBits(std::vector<Field>& fields, int offset, std::uint8_t namedBits,
                  const std::string& name) {
    fields.push_back({{{offset, static_cast<std::uint8_t>(0xFF & ~namedBits)}},
                      "",
                      fixedName(name + " other bits"),
                      [offset, namedBits](const BankRecord& r) {
                          return hexByte(r.byteAt(offset) & ~namedBits);
                      }});
}

void addGlobalFields(std::vector<Field>& fields) {
    addByteField(fields, kFormatByte1, "format byte");
    addByteField(fields, kFormatByte2, "format byte");
    fields.push_back({{{kFlagsA, kFlagAMergerOffOrLinkEp}, {kFlagsC, kFlagCLinkMode}},
                      "",
                      fixedName("MIDI merger"),
                      [](const BankRecord& r) { return mergerName(r.mergerMode()); }});
    fields.push_back({{{kFlagsA, kFlagASnap | kFlagARelative}, {kFlagsB, kFlagBParallax}},
                      "",
                      fixedName("pot mode"),
                      [](const BankRecord& r) { return potBehaviourName(r.potBehaviour()); }});
    addOtherBits(fields, kFlagsA, kFlagAMergerOffOrLinkEp | kFlagASnap | kFlagARelative, "flags A");
    addOtherBits(fields, kFlagsB, kFlagBParallax, "flags B");
    addFlag(fields, kFlagsC, kFlagCSendPc, "send PC on bank change");
    addFlag(fields, kFlagsC, kFlagCReceivePc, "receive PC for bank change");
    addOtherBits(fields, kFlagsC, kFlagCSendPc | kFlagCReceivePc | kFlagCLinkMode, "flags C");
    addFlag(fields, kFlagsD, kFlagDSnapshotAtPowerOn, "snapshot at power on");
    addFlag(fields, kFlagsD, kFlagDAutoSnapshot, "auto snapshot");
    addOtherBits(fields, kFlagsD, kFlagDSnapshotAtPowerOn | kFlagDAutoSnapshot, "flags D");
    for (int o = kFlagsD + 1; o < kMorphBank; ++o)
        addByteField(fields, o, "reserved byte");
    addNumberField(fields, kMorphBank, "morph bank", number);
    addNumberField(fields, kMorphPotGlobal, "morph pots - global", number);
    for (int g = 1; g <= 4; ++g)
        addNumberField(fields, kMorphPotG1 + 2 * (g - 1), "morph pots - grp" + std::to_string(g),
                       number);
    for (int o = kMorphPotG1 + 8; o < kFormatByte3; ++o)
        addByteField(fields, o, "reserved byte");
    addByteField(fields, kFormatByte3, "format byte");
    addByteField(fields, kFormatByte4, "format byte");
    std::vector<Bits> nameBytes;
    for (int i = 0; i < kBankNameLength; ++i)
        nameBytes.push_back({kBankLabel + i});
    fields.push_back({nameBytes, "", fixedName("bank name"),
                      [](const BankRecord& r) { return quoted(r.bankName()); }});
    addNumberField(fields, kTouchsensorSensitivity, "touchsensor sensitivity",
                   [](int v) { return number(v + 1); });
    for (int o = kTouchsensorSensitivity + 2; o < kSroutMap1; ++o)
        addByteField(fields, o, "reserved byte");
    for (int k = 1; k <= 8; ++k)
        addNumberField(fields, kSroutMap1 + 2 * (k - 1),
                       "DOUT shiftregister map SR #" + std::to_string(k), ledMapName);
    addNumberField(fields, kGlobalMidiChannel, "global MIDI channel", number);
}

std::vector<Field> fieldsInBankOrder() {
    std::vector<Field> fields;
    const std::array<std::function<std::string(std::uint8_t)>, 3> potCaptions{
        dataByte1Caption, fixedCaption("min"), fixedCaption("max")};
    for (int n = 1; n <= kEntryCount; ++n)
        addEntryFields(fields, potPrefix(n), kPotEntries + kEntrySize * (n - 1), potCaptions,
                       number);
    const std::array<std::function<std::string(std::uint8_t)>, 3> buttonCaptions{
        dataByte1Caption, buttonByte2Caption, fixedCaption("mode")};
    for (int n = 1; n <= kEntryCount; ++n)
        addEntryFields(fields, "button " + std::to_string(n) + " ",
                       kButtonEntries + kEntrySize * (n - 1), buttonCaptions, buttonModeName);
    for (int n = 1; n <= kEntryCount; ++n)
        fields.push_back({{{kInitialValues + n - 1}},
                          potPrefix(n),
                          fixedName("initial value"),
                          [n](const BankRecord& r) { return number(r.initialValue(n)); }});
    for (int o = kReserved1; o < kGlobalSettings; ++o)
        addByteField(fields, o, "reserved byte");
    addGlobalFields(fields);
    for (int o = kReserved2; o < kPotLabels; ++o)
        addByteField(fields, o, "reserved byte");
    for (int n = 1; n <= kEntryCount; ++n) {
        const int offset = kPotLabels + kLabelSize * (n - 1);
        fields.push_back(
            {{{offset}}, potPrefix(n), fixedName("label mode"), [n](const BankRecord& r) {
                 return labelModeName(r.potLabelModeChar(n));
             }});
        std::vector<Bits> text;
        for (int i = 1; i < kLabelSize; ++i)
            text.push_back({offset + i});
        fields.push_back({text, potPrefix(n), fixedName("label"),
                          [n](const BankRecord& r) { return quoted(r.potLabel(n)); }});
    }
    return fields;
}

bool differs(const Field& field, const BankRecord& a, const BankRecord& b) {
    for (const Bits& bits : field.bits)
        if ((a.byteAt(bits.offset) & bits.mask) != (b.byteAt(bits.offset) & bits.mask)) return true;
    return false;
}

std::string coveredBytes(const Field& field, const BankRecord& r) {
    std::string text;
    for (const Bits& bits : field.bits)
        text += (text.empty() ? "" : " ") + hexByte(r.byteAt(bits.offset));
    return text;
}

FieldDifference differenceOf(const Field& field, const BankRecord& a, const BankRecord& b) {
    const std::string captionA = field.caption(a);
    const std::string captionB = field.caption(b);
    // An entry whose event type changed too is named by both captions.
    const std::string caption = captionA == captionB ? captionA : captionA + "/" + captionB;
    FieldDifference d{field.prefix + caption, field.value(a), field.value(b)};
    if (d.before == d.after) {
        // Bytes that read alike (padding after a name's end, unused nibble bits) differ below.
        d.before += " [" + coveredBytes(field, a) + "]";
        d.after += " [" + coveredBytes(field, b) + "]";
    }
    return d;
}

} // namespace

std::string FieldDifference::line() const {
    return field + ": " + before + " -> " + after;
}

std::vector<FieldDifference> recordDifferences(const BankRecord& a, const BankRecord& b) {
    static const std::vector<Field> fields = fieldsInBankOrder();
    std::vector<FieldDifference> differences;
    if (a == b) return differences;
    for (const Field& field : fields)
        if (differs(field, a, b)) differences.push_back(differenceOf(field, a, b));
    return differences;
}
