// Moving dump bytes between files and DumpBuffers.
#pragma once

#include "dump_buffer.h"

#include <QByteArray>
#include <QString>

// Reads at most DumpBuffer::kCapacity bytes of the file into `buffer` and sets its length to
// the number read. A file that cannot be opened or read leaves the length 0 and returns false.
bool readDumpFile(const QString& path, DumpBuffer& buffer);

enum class WriteFallback {
    None,
    // A writable file in a folder that takes no new files (a shared or system folder) is
    // overwritten in place when no temporary file can be made beside it.
    InPlace,
};

// True when the file starts with the byte F0, as every SysEx dump does.
bool isSysexDumpFile(const QString& path);

// Writes through a temporary file that replaces `path` only once it is complete, so a failed
// write never leaves a truncated file in place of the old one. On failure `error`, when given,
// receives the reason.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                         WriteFallback fallback = WriteFallback::None);
