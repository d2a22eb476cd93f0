// vpt64 sim: the simulated controller as a MIDI peer of its own, until interrupted.
#pragma once

#include "cli_args.h"
#include "cli_commands.h"
#include "dump_codec.h"

#include <optional>

int simCommand(const CliArgs& args, const CliStreams& streams);

// The bank in a .syx file, the built-in one when `file` is empty; nothing when the file cannot
// be read or holds no valid bank (the decoder's lines go to `log`).
std::optional<BankRecord> bankOfFile(const QString& file, const LogSink& log);
