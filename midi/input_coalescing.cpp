#include "input_coalescing.h"

#include <bitset>

namespace input_coalescing {

int supersedeKey(std::uint8_t status, std::uint8_t data1) {
    if ((status & 0xF0) != 0xB0 || data1 > 0x7F) return kNever;
    return (status & 0x0F) << 7 | data1;
}

std::vector<bool> supersededByLater(std::span<const int> keys) {
    std::vector<bool> superseded(keys.size());
    std::bitset<kKeyCount> later;
    for (std::size_t i = keys.size(); i-- > 0;) {
        const int key = keys[i];
        if (key < 0 || key >= kKeyCount) continue;
        superseded[i] = later[std::size_t(key)];
        later.set(std::size_t(key));
    }
    return superseded;
}

} // namespace input_coalescing
