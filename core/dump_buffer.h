// DumpBuffer: a container for SysEx bytes (outgoing dump, incoming dump, message being read).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

struct DumpBuffer {
    static constexpr int kCapacity = 256000;

    std::int32_t length = 0;       // bytes in use in data
    std::int32_t blockCount = 0;   // blocks decoded or messages stored
    std::int32_t blocksLeft = 0;   // blocks still to send (outgoing dump only)
    std::int32_t sendPosition = 0; // next byte to send (outgoing dump only)
    std::array<std::uint8_t, kCapacity> data{};

    std::span<const std::uint8_t> used() const {
        return {data.data(), static_cast<std::size_t>(std::clamp(length, 0, kCapacity))};
    }

    // Replaces the content with up to kCapacity bytes; returns how many were taken.
    int assign(std::span<const std::uint8_t> bytes) {
        const auto n = std::min<std::size_t>(bytes.size(), kCapacity);
        std::copy_n(bytes.begin(), n, data.begin());
        length = static_cast<std::int32_t>(n);
        return length;
    }
};
