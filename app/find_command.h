// `vpt64 find DIR WORDS...`: the bank names, pots and buttons of a library folder that hold all
// the words.
#pragma once

#include "cli_commands.h"

// Prints one line per match; exit 0 when something matched, 1 when nothing did, 2 when the
// folder cannot be read or no word is given. Files that hold no valid dump are skipped with a
// note on `err`.
int findCommand(const QString& folder, const QStringList& words, const CliStreams& streams);
