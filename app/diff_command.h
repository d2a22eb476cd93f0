// `vpt64 diff A.syx B.syx`: the fields in which the banks of two dump files differ.
#pragma once

#include "cli_commands.h"

// Prints one line per differing field; exit 0 when the banks are equal, 1 when they differ, 2
// when a file cannot be read or holds no valid bank.
int diffCommand(const QString& pathA, const QString& pathB, const CliStreams& streams);
