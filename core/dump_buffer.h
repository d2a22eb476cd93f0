// DumpBuffer: a container for SysEx bytes (outgoing dump, incoming dump, message being read).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <span>

// N bytes, all zero at first. They are taken from the system zeroed, not cleared one by one, so
// that a large buffer costs memory only for the part that has been written.
template <std::size_t N> class ZeroedBytes {
public:
    ZeroedBytes() : m_bytes(static_cast<std::uint8_t*>(std::calloc(N, 1))) {
        if (!m_bytes) throw std::bad_alloc();
    }
    ZeroedBytes(const ZeroedBytes& other) : ZeroedBytes() { *this = other; }
    ZeroedBytes& operator=(const ZeroedBytes& other) {
        if (this != &other) std::copy_n(other.data(), N, data());
        return *this;
    }

    static constexpr std::size_t size() { return N; }
    std::uint8_t* data() { return m_bytes.get(); }
    const std::uint8_t* data() const { return m_bytes.get(); }
    std::uint8_t* begin() { return data(); }
    std::uint8_t* end() { return data() + N; }
    const std::uint8_t* begin() const { return data(); }
    const std::uint8_t* end() const { return data() + N; }
    std::uint8_t& operator[](std::size_t i) { return m_bytes[i]; }
    std::uint8_t operator[](std::size_t i) const { return m_bytes[i]; }

private:
    struct Free {
        void operator()(std::uint8_t* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<std::uint8_t[], Free> m_bytes;
};

struct DumpBuffer {
    static constexpr int kCapacity = 256000;

    std::int32_t length = 0;       // bytes in use in data
    std::int32_t blockCount = 0;   // blocks decoded or messages stored
    std::int32_t blocksLeft = 0;   // blocks still to send (outgoing dump only)
    std::int32_t sendPosition = 0; // next byte to send (outgoing dump only)
    ZeroedBytes<kCapacity> data;

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
