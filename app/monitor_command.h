// vpt64 monitor: every message that arrives at a MIDI input, one line each, in words that name
// the bank's pots and buttons; optionally passed on to an output (a MIDI thru).
#pragma once

#include "cli_args.h"
#include "cli_commands.h"

int monitorCommand(const CliArgs& args, const CliStreams& streams);
