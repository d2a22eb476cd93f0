// The MIDI subcommands of vpt64: ports, sim, send and request.
#pragma once

#include "cli_commands.h"

#include <optional>

// Their lines of the usage text.
extern const char* const kMidiUsage;

// Runs `command` with its arguments when it is one of the MIDI subcommands; returns nothing
// when it is not one of them.
std::optional<int> runMidiCommand(const QString& command, const QStringList& args,
                                  const CliStreams& streams);
