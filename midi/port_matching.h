// port_matching: how a port choice follows the machine's ports by name alone: which selector
// entry to show, what to show as gone, when to open a port again, and what appeared or went.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace port_matching {

// Texts of a port selector: "None" first, then the ports; `current` is the entry to select.
struct SelectorItems {
    std::vector<std::string> texts;
    std::vector<std::string> names; // the port behind each entry, empty for "None"
    int current = 0;
    bool operator==(const SelectorItems&) const = default;
};

// The entry of a chosen port that is not there now, for example "plugbox:out (gone)".
std::string goneText(const std::string& name);

// The selector for `available` (the simulator last) with `chosen` selected by name: a chosen
// port that is missing stays selected as gone, just before the last `trailing` entries (the
// simulator), rather than another port taking its place.
SelectorItems selectorItems(const std::vector<std::string>& available, int trailing,
                            const std::string& chosen, const std::string& noneText);

// Which of `available` a list of at most `room` ports holds, as indexes in order: the last
// `trailing` (the simulator's, always offered) and `kept` (the chosen port) wherever they stand,
// then the others from the front while there is room. New ports listed before the chosen one
// never push it off.
std::vector<int> capped(const std::vector<std::string>& available, int trailing,
                        const std::string& kept, int room);

// The index of `name` among `names`, or nothing.
std::optional<int> indexOf(const std::vector<std::string>& names, const std::string& name);

// What a port chosen as `chosen` does when the list becomes `available`: `inUse` tells whether
// it is meant to be open, `lost` whether it has been lost.
enum class Follow {
    Stay,   // nothing to do
    Lose,   // it is open and its port has gone: report it lost
    Reopen, // it was lost and a port of its name is there again
};
Follow follow(const std::string& chosen, bool inUse, bool lost,
              const std::vector<std::string>& available);

// Ports that appeared in `after` and went from `before`, each in its list's order.
struct Changes {
    std::vector<std::string> appeared;
    std::vector<std::string> disappeared;
    bool operator==(const Changes&) const = default;
};
Changes changes(const std::vector<std::string>& before, const std::vector<std::string>& after);

// The line `vpt64 ports --watch` prints: `direction` is "IN" or "OUT".
std::string changeLine(const std::string& direction, const std::string& name, bool appeared);

// Why a port that left the machine's list of ports is lost.
inline constexpr char kGoneAway[] = "the port has gone away";

// A port of this program itself (its own JACK or ALSA clients), never offered as a device.
bool isOwnPort(const std::string& name);

} // namespace port_matching
