// The librarian's subcommands of vpt64: backup and restore of many banks.
#pragma once

#include "cli_commands.h"

#include <optional>

// Their lines of the usage text.
extern const char* const kLibrarianUsage;

// Runs `command` with its arguments when it is backup or restore; nothing for any other.
std::optional<int> runLibrarianCommand(const QString& command, const QStringList& args,
                                       const CliStreams& streams);
