// The default bank packaged with the program as resource :/PT64STD/PT64SYSEXFILE.
#pragma once

#include "bank_record.h"

#include <QByteArray>
#include <optional>

// The 2120 bytes of the built-in dump, or nothing when the resource cannot be loaded.
std::optional<QByteArray> loadBuiltInDump();
// The bank of the built-in dump; an all-zero bank when the resource cannot be loaded.
BankRecord loadBuiltInBank();
