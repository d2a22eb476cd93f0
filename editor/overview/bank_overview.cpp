#include "bank_overview.h"

#include "event_words.h"
#include "field_ranges.h"
#include "text_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <span>

namespace overview {
namespace {

using field_ranges::Range;

enum class Field { Number, Label, Event, Channel, Status, Data1, Data2, Min, Max, Initial, Mode };
enum class Format { Decimal, Hex, Text };

struct Column {
    const char* title;
    Field field;
    Format format;
};

constexpr Column kPotColumns[] = {
    {"Nr", Field::Number, Format::Decimal},       {"Label", Field::Label, Format::Text},
    {"Event", Field::Event, Format::Text},        {"Channel", Field::Channel, Format::Decimal},
    {"Byte 0", Field::Status, Format::Decimal},   {"Byte 0 HEX", Field::Status, Format::Hex},
    {"Byte 1", Field::Data1, Format::Decimal},    {"Byte 1 HEX", Field::Data1, Format::Hex},
    {"Min", Field::Min, Format::Decimal},         {"Max", Field::Max, Format::Decimal},
    {"Initial", Field::Initial, Format::Decimal}, {"Mode", Field::Mode, Format::Text},
};
constexpr Column kButtonColumns[] = {
    {"Nr", Field::Number, Format::Decimal},       {"Event", Field::Event, Format::Text},
    {"Channel", Field::Channel, Format::Decimal}, {"Byte 0", Field::Status, Format::Decimal},
    {"Byte 0 HEX", Field::Status, Format::Hex},   {"Byte 1", Field::Data1, Format::Decimal},
    {"Byte 1 HEX", Field::Data1, Format::Hex},    {"Byte 2", Field::Data2, Format::Decimal},
    {"Byte 2 HEX", Field::Data2, Format::Hex},    {"Mode", Field::Mode, Format::Text},
};
static_assert(std::size(kPotColumns) == std::size_t(PotColumn::Count));
static_assert(std::size(kButtonColumns) == std::size_t(ButtonColumn::Count));

std::span<const Column> columns(Controls controls) {
    if (controls == Controls::Pots) return kPotColumns;
    return kButtonColumns;
}

const Column* columnAt(Controls controls, int column) {
    const auto all = columns(controls);
    return column >= 0 && column < int(all.size()) ? &all[column] : nullptr;
}

bool inRange(const Range& range, int value) {
    return value >= range.min && value <= range.max;
}

std::uint8_t statusOf(const BankRecord& record, Controls controls, int n) {
    return controls == Controls::Pots ? record.pot(n).status : record.button(n).status;
}

void setStatus(BankRecord& record, Controls controls, int n, int full) {
    const auto stored = storedStatus(static_cast<std::uint8_t>(full));
    if (controls == Controls::Pots) {
        PotEntry entry = record.pot(n);
        entry.status = stored;
        record.setPot(n, entry);
    } else {
        ButtonEntry entry = record.button(n);
        entry.status = stored;
        record.setButton(n, entry);
    }
}

// The status as the page's Byte 0 field holds it: raised into the event types it offers.
int shownStatus(const BankRecord& record, Controls controls, int n) {
    return field_ranges::kStatus.limit(fullStatus(statusOf(record, controls, n)));
}

std::uint8_t data1Of(const BankRecord& record, Controls controls, int n) {
    return controls == Controls::Pots ? record.pot(n).data : record.button(n).data1;
}

std::span<const char* const> modeItems(Controls controls) {
    if (controls == Controls::Pots) return field_ranges::kPotLabelModeItems;
    return field_ranges::kButtonModeItems;
}

Range rangeOf(Field field) {
    switch (field) {
    case Field::Status:
        return field_ranges::kStatus;
    case Field::Channel:
        return field_ranges::kEntryChannel;
    default:
        return field_ranges::kDataByte;
    }
}

int numberOf(const BankRecord& record, Controls controls, int n, Field field) {
    switch (field) {
    case Field::Number:
        return n;
    case Field::Status:
        return fullStatus(statusOf(record, controls, n));
    case Field::Channel:
        return (statusOf(record, controls, n) & 0x0F) + 1;
    case Field::Data1:
        return data1Of(record, controls, n);
    case Field::Data2:
        return record.button(n).data2;
    case Field::Min:
        return record.pot(n).min;
    case Field::Max:
        return record.pot(n).max;
    case Field::Initial:
        return record.initialValue(n);
    default:
        return controls == Controls::Pots ? record.potLabelMode(n) : record.button(n).mode;
    }
}

// Stores a value already within its field's range.
void storeNumber(BankRecord& record, Controls controls, int n, Field field, int value) {
    const auto byte = static_cast<std::uint8_t>(value);
    PotEntry pot = controls == Controls::Pots ? record.pot(n) : PotEntry{};
    ButtonEntry button = controls == Controls::Buttons ? record.button(n) : ButtonEntry{};
    switch (field) {
    case Field::Status:
        return setStatus(record, controls, n, value);
    case Field::Channel: {
        const int status = shownStatus(record, controls, n);
        return setStatus(record, controls, n, status - status % 16 + value - 1);
    }
    case Field::Initial:
        return record.setInitialValue(n, byte);
    case Field::Mode:
        if (controls == Controls::Pots)
            return record.setPotLabelModeChar(n, BankRecord::labelModeChars()[value]);
        button.mode = byte;
        break;
    case Field::Data1:
        pot.data = button.data1 = byte;
        break;
    case Field::Data2:
        button.data2 = byte;
        break;
    case Field::Min:
        pot.min = byte;
        break;
    default:
        pot.max = byte;
        break;
    }
    if (controls == Controls::Pots)
        record.setPot(n, pot);
    else
        record.setButton(n, button);
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<int> parseNumber(std::string_view text, int base) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

CellEdit refuse(std::string reason) {
    return {false, std::move(reason)};
}

CellEdit setNumberCell(BankRecord& record, Controls controls, int n, const Column& column,
                       std::string_view text) {
    const bool hex = column.format == Format::Hex;
    const auto value = parseNumber(text, hex ? 16 : 10);
    const Range range = rangeOf(column.field);
    if (!value)
        return refuse(formatText("\"%.*s\" is not a %s number", int(text.size()), text.data(),
                                 hex ? "hexadecimal" : "decimal"));
    if (!inRange(range, *value))
        return refuse(hex ? formatText("%X is outside %02X..%02X", *value, range.min, range.max)
                          : formatText("%d is outside %d..%d", *value, range.min, range.max));
    storeNumber(record, controls, n, column.field, *value);
    return {true, {}};
}

bool sameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::toupper(x) == std::toupper(y);
    });
}

CellEdit setModeCell(BankRecord& record, Controls controls, int n, std::string_view text) {
    const auto items = modeItems(controls);
    const auto it = std::find_if(items.begin(), items.end(),
                                 [&](const char* item) { return sameText(item, text); });
    if (it == items.end()) {
        std::string known;
        for (const char* item : items)
            known += (known.empty() ? "" : ", ") + std::string(item);
        return refuse(formatText("\"%.*s\" is no mode; the modes are %s", int(text.size()),
                                 text.data(), known.c_str()));
    }
    storeNumber(record, controls, n, Field::Mode, int(it - items.begin()));
    return {true, {}};
}

// The label travels as 7-bit text of at most 15 characters.
CellEdit setLabelCell(BankRecord& record, int n, std::string_view text) {
    if (text.size() > std::size_t(bank_layout::kLabelTextLength))
        return refuse(
            formatText("a label holds at most %d characters", bank_layout::kLabelTextLength));
    if (std::any_of(text.begin(), text.end(), [](char c) { return c < 0x20 || c > 0x7E; }))
        return refuse("a label holds only plain ASCII letters, digits and signs");
    record.setPotLabel(n, std::string(text));
    return {true, {}};
}

// Everything of one control that an edit can change.
struct ControlState {
    PotEntry pot;
    std::array<std::uint8_t, bank_layout::kLabelSize> label{};
    std::uint8_t initialValue = 0;
    ButtonEntry button;
    bool operator==(const ControlState&) const = default;
};

ControlState stateOf(const BankRecord& record, Controls controls, int n) {
    if (controls == Controls::Buttons) return {{}, {}, 0, record.button(n)};
    return {record.pot(n), record.labelRecord(n), record.initialValue(n), {}};
}

bool validNumber(int n) {
    return inRange(field_ranges::kEntryNumber, n);
}

int validCount(const std::vector<int>& numbers) {
    return int(std::count_if(numbers.begin(), numbers.end(), validNumber));
}

// Runs `edit(n, position)` on each valid number; an edit that returns false left its control
// out.
template <typename Edit>
BulkResult editEach(BankRecord& record, Controls controls, const std::vector<int>& numbers,
                    Edit edit) {
    BulkResult result;
    int position = 0;
    for (int n : numbers) {
        if (!validNumber(n)) continue;
        const ControlState before = stateOf(record, controls, n);
        if (!edit(n, position++))
            ++result.leftOut;
        else if (stateOf(record, controls, n) != before)
            ++result.changed;
    }
    return result;
}

BulkResult nothingChanged(const std::vector<int>& numbers) {
    return {0, validCount(numbers)};
}

std::uint8_t limitedByte(std::uint32_t value) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(value, field_ranges::kDataByte.max));
}

int presetStatus(const BankRecord& record, Controls controls, int n, std::uint32_t preset) {
    const auto current = static_cast<std::uint8_t>(shownStatus(record, controls, n));
    return field_ranges::kStatus.limit(
        preset_file::appliedStatus(static_cast<std::uint8_t>(preset & 0xFF), current));
}

} // namespace

int columnCount(Controls controls) {
    return int(columns(controls).size());
}

std::string columnTitle(Controls controls, int column) {
    const Column* c = columnAt(controls, column);
    return c ? c->title : "";
}

bool isEditable(Controls controls, int column) {
    const Column* c = columnAt(controls, column);
    return c && c->field != Field::Number && c->field != Field::Event;
}

std::string widestText(Controls controls, int column) {
    const Column* c = columnAt(controls, column);
    if (!c) return {};
    std::string widest = c->title;
    const auto wider = [&widest](const std::string& text) {
        if (text.size() > widest.size()) widest = text;
    };
    switch (c->field) {
    case Field::Label:
        wider(std::string(bank_layout::kLabelTextLength, 'W'));
        break;
    case Field::Event:
        wider(eventWords(storedStatus(0xDF), 0)); // "Channel aftertouch ch 16"
        break;
    case Field::Mode:
        for (const char* item : modeItems(controls))
            wider(item);
        break;
    default:
        wider(c->format == Format::Hex ? "FF" : "255");
        break;
    }
    return widest;
}

std::string cellText(const BankRecord& record, Controls controls, int n, int column) {
    const Column* c = columnAt(controls, column);
    if (!c || !validNumber(n)) return {};
    switch (c->field) {
    case Field::Label:
        return record.potLabel(n);
    case Field::Event:
        return eventWords(statusOf(record, controls, n), data1Of(record, controls, n));
    case Field::Mode: {
        const int mode = numberOf(record, controls, n, Field::Mode);
        const auto items = modeItems(controls);
        return mode < int(items.size()) ? items[mode] : "";
    }
    default:
        break;
    }
    const int value = numberOf(record, controls, n, c->field);
    return formatText(c->format == Format::Hex ? "%02X" : "%d", value);
}

std::optional<int> cellNumber(const BankRecord& record, Controls controls, int n, int column) {
    const Column* c = columnAt(controls, column);
    if (!c || !validNumber(n) || c->format != Format::Decimal) return std::nullopt;
    return numberOf(record, controls, n, c->field);
}

CellEdit setCell(BankRecord& record, Controls controls, int n, int column, std::string_view typed) {
    const Column* c = columnAt(controls, column);
    if (!c || !validNumber(n) || !isEditable(controls, column))
        return refuse("this cell cannot be edited");
    if (c->field == Field::Label) return setLabelCell(record, n, typed);
    const std::string_view text = trimmed(typed);
    if (c->field == Field::Mode) return setModeCell(record, controls, n, text);
    return setNumberCell(record, controls, n, *c, text);
}

BulkResult setChannel(BankRecord& record, Controls controls, const std::vector<int>& numbers,
                      int channel) {
    if (!inRange(field_ranges::kEntryChannel, channel)) return nothingChanged(numbers);
    return editEach(record, controls, numbers, [&](int n, int) {
        storeNumber(record, controls, n, Field::Channel, channel);
        return true;
    });
}

BulkResult setEventType(BankRecord& record, Controls controls, const std::vector<int>& numbers,
                        int type) {
    if (!inRange(rangeOf(Field::Status), type * 16)) return nothingChanged(numbers);
    return editEach(record, controls, numbers, [&](int n, int) {
        setStatus(record, controls, n, type * 16 + shownStatus(record, controls, n) % 16);
        return true;
    });
}

BulkResult numberUpward(BankRecord& record, Controls controls, const std::vector<int>& numbers,
                        int start) {
    const Range range = field_ranges::kDataByte;
    if (!inRange(range, start)) return nothingChanged(numbers);
    return editEach(record, controls, numbers, [&](int n, int position) {
        if (start + position > range.max) return false;
        storeNumber(record, controls, n, Field::Data1, start + position);
        return true;
    });
}

BulkResult copyRow(BankRecord& record, Controls controls, int source,
                   const std::vector<int>& numbers) {
    if (!validNumber(source)) return nothingChanged(numbers);
    const BankRecord from = record;
    return editEach(record, controls, numbers, [&](int n, int) {
        if (controls == Controls::Buttons) {
            record.setButton(n, from.button(source));
        } else {
            record.setPot(n, from.pot(source));
            record.setLabelRecord(n, from.labelRecord(source));
        }
        return true;
    });
}

BulkResult setPotRange(BankRecord& record, const std::vector<int>& numbers, int min, int max) {
    const Range range = field_ranges::kDataByte;
    if (!inRange(range, min) || !inRange(range, max)) return nothingChanged(numbers);
    return editEach(record, Controls::Pots, numbers, [&](int n, int) {
        storeNumber(record, Controls::Pots, n, Field::Min, min);
        storeNumber(record, Controls::Pots, n, Field::Max, max);
        return true;
    });
}

BulkResult applyPotPreset(BankRecord& record, const std::vector<int>& numbers,
                          const preset_file::PotPresetValue& preset) {
    return editEach(record, Controls::Pots, numbers, [&](int n, int) {
        const std::uint32_t bytes = preset.bytes;
        const auto status = presetStatus(record, Controls::Pots, n, bytes >> 24);
        record.setPot(n, {storedStatus(static_cast<std::uint8_t>(status)),
                          limitedByte((bytes >> 16) & 0xFF), limitedByte((bytes >> 8) & 0xFF),
                          limitedByte(bytes & 0xFF)});
        if (preset.initialValue) record.setInitialValue(n, limitedByte(*preset.initialValue));
        return true;
    });
}

BulkResult applyButtonPreset(BankRecord& record, const std::vector<int>& numbers,
                             std::uint32_t keyValue) {
    return editEach(record, Controls::Buttons, numbers, [&](int n, int) {
        ButtonEntry entry = record.button(n);
        entry.status = storedStatus(
            static_cast<std::uint8_t>(presetStatus(record, Controls::Buttons, n, keyValue >> 16)));
        entry.data1 = limitedByte((keyValue >> 8) & 0xFF);
        entry.data2 = limitedByte(keyValue & 0xFF);
        record.setButton(n, entry);
        return true;
    });
}

std::string controlsWord(Controls controls, int count) {
    const char* word = controls == Controls::Pots ? "pot" : "button";
    return std::string(word) + (count == 1 ? "" : "s");
}

std::string bulkLine(std::string_view what, Controls controls, int chosen, const BulkResult& result,
                     std::string_view why) {
    std::string line = formatText("%.*s: %d of %d %s changed", int(what.size()), what.data(),
                                  result.changed, chosen, controlsWord(controls, chosen).c_str());
    if (result.leftOut > 0)
        line +=
            formatText("; %d left as %s, %.*s", result.leftOut,
                       result.leftOut == 1 ? "it was" : "they were", int(why.size()), why.data());
    return line;
}

} // namespace overview
