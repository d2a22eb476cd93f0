// The bytes that a .syx file of the bank holds.
#pragma once

#include "bank_record.h"

#include <QByteArray>
#include <span>

// The eight dump blocks of `record` with `deviceId` in every block's device byte.
QByteArray encodeBank(const BankRecord& record, int deviceId);

// What storing the bank writes. While the bank is unchanged since its dump was taken (opened,
// received or encoded for an upload), the dump's bytes exactly as they were, so an opened file
// comes back byte for byte; once edited, a fresh encoding carrying `deviceId`.
QByteArray syxFileBytes(std::span<const std::uint8_t> takenDump, const BankRecord& takenRecord,
                        const BankRecord& current, int deviceId);
