#include "port_matching.h"

#include <algorithm>
#include <cctype>

namespace port_matching {

namespace {

constexpr std::string_view kOwnClient = "vPultron64";

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

std::string goneText(const std::string& name) {
    return name + " (gone)";
}

SelectorItems selectorItems(const std::vector<std::string>& available, int trailing,
                            const std::string& chosen, const std::string& noneText) {
    SelectorItems items;
    items.texts = {noneText};
    items.names = {std::string()};
    for (const auto& name : available) {
        items.texts.push_back(name);
        items.names.push_back(name);
    }
    if (chosen.empty()) return items;
    if (const auto index = indexOf(available, chosen)) {
        items.current = *index + 1;
        return items;
    }
    const int last = static_cast<int>(items.texts.size());
    const int at = std::max(1, last - std::clamp(trailing, 0, last));
    items.texts.insert(items.texts.begin() + at, goneText(chosen));
    items.names.insert(items.names.begin() + at, chosen);
    items.current = at;
    return items;
}

std::vector<int> capped(const std::vector<std::string>& available, int trailing,
                        const std::string& kept, int room) {
    const int count = static_cast<int>(available.size());
    const int firstTrailing = count - std::clamp(trailing, 0, count);
    const auto keptAt = indexOf(available, kept);
    const bool keptAmongOthers = keptAt && *keptAt < firstTrailing;
    int othersRoom = room - (count - firstTrailing) - (keptAmongOthers ? 1 : 0);
    std::vector<int> held;
    for (int i = 0; i < count; ++i)
        if (i >= firstTrailing || i == keptAt || othersRoom-- > 0) held.push_back(i);
    if (static_cast<int>(held.size()) > room)
        held.resize(static_cast<std::size_t>(std::max(0, room)));
    return held;
}

std::optional<int> indexOf(const std::vector<std::string>& names, const std::string& name) {
    const auto found = std::find(names.begin(), names.end(), name);
    if (name.empty() || found == names.end()) return std::nullopt;
    return static_cast<int>(found - names.begin());
}

Follow follow(const std::string& chosen, bool inUse, bool lost,
              const std::vector<std::string>& available) {
    if (chosen.empty() || !inUse) return Follow::Stay;
    const bool listed = contains(available, chosen);
    if (lost) return listed ? Follow::Reopen : Follow::Stay;
    return listed ? Follow::Stay : Follow::Lose;
}

Changes changes(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    Changes result;
    for (const auto& name : after)
        if (!contains(before, name)) result.appeared.push_back(name);
    for (const auto& name : before)
        if (!contains(after, name)) result.disappeared.push_back(name);
    return result;
}

std::string changeLine(const std::string& direction, const std::string& name, bool appeared) {
    return "MIDI " + direction + " port \"" + name + "\" " +
           (appeared ? "appeared" : "disappeared");
}

bool isOwnPort(const std::string& name) {
    if (!name.starts_with(kOwnClient)) return false;
    // JACK names a second client of the same name "vPultron64-01".
    std::size_t at = kOwnClient.size();
    if (at < name.size() && name[at] == '-') {
        const std::size_t digits = at + 1;
        while (++at < name.size() && std::isdigit(static_cast<unsigned char>(name[at]))) {
        }
        if (at == digits) return false;
    }
    return at < name.size() && name[at] == ':';
}

} // namespace port_matching
