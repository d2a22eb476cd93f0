// bank_overview: the pots and buttons of a bank as rows of cells, for the "Overview" page. Reads
// and writes cells with the ranges and rules of the pot and button pages, and runs the bulk
// edits on a set of pots or buttons. No widgets.
#pragma once

#include "bank_record.h"
#include "preset_library.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace overview {

enum class Controls { Pots, Buttons };

enum class PotColumn {
    Number,
    Label,
    Event,
    Channel,
    Status,
    StatusHex,
    Data,
    DataHex,
    Min,
    Max,
    Initial,
    Mode,
    Count
};
enum class ButtonColumn {
    Number,
    Event,
    Channel,
    Status,
    StatusHex,
    Data1,
    Data1Hex,
    Data2,
    Data2Hex,
    Mode,
    Count
};

int columnCount(Controls controls);
std::string columnTitle(Controls controls, int column);
bool isEditable(Controls controls, int column);
// The widest text the column can show (its title, or its widest value), for sizing it once.
std::string widestText(Controls controls, int column);

// What a cell shows: its text, and its number when it shows one in decimal (for sorting by
// value; the hexadecimal cells, two digits each, sort as text).
std::string cellText(const BankRecord& record, Controls controls, int n, int column);
std::optional<int> cellNumber(const BankRecord& record, Controls controls, int n, int column);

// Takes typed text into a cell. A text the page's field would not hold (out of range, not a
// number, no such mode, a label too long) is refused: the bank keeps its value and `refusal`
// says why.
struct CellEdit {
    bool accepted = false;
    std::string refusal;
};
CellEdit setCell(BankRecord& record, Controls controls, int n, int column, std::string_view text);

// What a bulk edit did: how many of the chosen controls it changed, and how many it had to leave
// as they were because the edit would have taken them out of range.
struct BulkResult {
    int changed = 0;
    int leftOut = 0;
    bool operator==(const BulkResult&) const = default;
};

// Each edit works on pots or buttons `numbers` (1..64, in the order given); numbers outside
// 1..64 are skipped. An argument outside its field's range changes nothing and leaves every
// control out.
BulkResult setChannel(BankRecord& record, Controls controls, const std::vector<int>& numbers,
                      int channel);
// `type` 9..15: the event type, the channel stays.
BulkResult setEventType(BankRecord& record, Controls controls, const std::vector<int>& numbers,
                        int type);
// Byte 1 (note, controller, program number) = start, start + 1, ...; the controls that would go
// past 127 keep their byte and count as left out.
BulkResult numberUpward(BankRecord& record, Controls controls, const std::vector<int>& numbers,
                        int start);
// What copying `source` takes (for a pot its entry and label, as "Copy" on its page) into each
// of `numbers`.
BulkResult copyRow(BankRecord& record, Controls controls, int source,
                   const std::vector<int>& numbers);
BulkResult setPotRange(BankRecord& record, const std::vector<int>& numbers, int min, int max);
// As choosing the preset on the pot or button page: the status keeps the control's channel, the
// bytes are limited to the fields' ranges.
BulkResult applyPotPreset(BankRecord& record, const std::vector<int>& numbers,
                          const preset_file::PotPresetValue& preset);
BulkResult applyButtonPreset(BankRecord& record, const std::vector<int>& numbers,
                             std::uint32_t keyValue);

// "Set channel 10: 16 of 16 pots changed"; when controls were left out, "...; 4 left as they
// were, past 127", with `why` they were left out.
std::string bulkLine(std::string_view what, Controls controls, int chosen, const BulkResult& result,
                     std::string_view why = "out of range");
// "pot"/"pots", "button"/"buttons".
std::string controlsWord(Controls controls, int count);

} // namespace overview
