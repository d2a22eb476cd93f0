// Constants of the controller's SysEx protocol: header, commands and dump block layout.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace sysex {

constexpr std::uint8_t kStart = 0xF0;
constexpr std::uint8_t kEnd = 0xF7;
constexpr std::array<std::uint8_t, 5> kHeader{0xF0, 0x00, 0x00, 0x7E, 0x43};
constexpr std::uint8_t kModelId = 0x43;
constexpr int kModelIndex = 4;
constexpr int kDeviceCommandIndex = 5;

enum Command : std::uint8_t {
    WholeDump = 0x2,
    BlockDump = 0x4,
    DumpRequest = 0x5,
    BankNumberMessage = 0x7,
    BankChangeRequest = 0x8,
    ErrorResponse = 0xE,
    Acknowledge = 0xF,
};

constexpr int kBlockCount = 8;
constexpr int kBlockDataSize = 256;
constexpr int kBlockNumberIndex = 6;
constexpr int kBlockDataIndex = 7;
constexpr int kBlockChecksumIndex = kBlockDataIndex + kBlockDataSize;
constexpr int kBlockSize = kBlockChecksumIndex + 2; // 265
constexpr int kDumpSize = kBlockCount * kBlockSize; // 2120
constexpr int kWholeDumpSize = 2055;

constexpr std::uint8_t deviceCommandByte(int deviceId, Command command) {
    return static_cast<std::uint8_t>(((deviceId & 0x0F) << 4) | command);
}

// The 7-bit value that makes block number, data and checksum add up to a multiple of 128.
std::uint8_t blockChecksum(int blockNumber, std::span<const std::uint8_t> data);

// Display name of a model byte.
std::string_view ModelName(std::uint8_t modelId);

} // namespace sysex
