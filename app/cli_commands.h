// The subcommands of vpt64. Each prints the program's own log lines on `out` and its
// errors on `err`, and returns the process exit code.
#pragma once

#include <QStringList>
#include <cstdio>

struct CliStreams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

int runCli(const QStringList& args, const CliStreams& streams = {});
