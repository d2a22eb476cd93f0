// vpt64 sim: the simulated controller as a MIDI peer of its own, until interrupted.
#pragma once

#include "cli_args.h"
#include "cli_commands.h"

int simCommand(const CliArgs& args, const CliStreams& streams);
