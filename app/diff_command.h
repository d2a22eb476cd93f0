// `vpt64 diff A.syx B.syx`: the fields in which the banks of two dump files differ; `vpt64 diff
// DIR_A DIR_B`: the same for each bank of two library folders.
#pragma once

#include "cli_commands.h"

// Prints one line per differing field; exit 0 when the banks are equal, 1 when they differ, 2
// when a file cannot be read or holds no valid bank. Two folders are compared bank by bank, a
// heading before each bank that differs; a folder and a file are an error (2).
int diffCommand(const QString& pathA, const QString& pathB, const CliStreams& streams);
