// The subcommands of vpt64. Each prints the program's own log lines on `out` and its
// errors on `err`, and returns the process exit code.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <cstdio>

struct CliStreams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

int runCli(const QStringList& args, const CliStreams& streams = {});

// Writes a command's output file; when that fails, says on `err` which file and why.
bool writeOutputFile(const QString& path, const QByteArray& bytes, const CliStreams& streams);
