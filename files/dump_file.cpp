#include "dump_file.h"

#include <QFile>
#include <QSaveFile>

bool readDumpFile(const QString& path, DumpBuffer& buffer) {
    buffer.length = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 wanted = std::min<qint64>(file.size(), DumpBuffer::kCapacity);
    qint64 total = 0;
    // Files that report no size (pipes, /proc) are read until they end or the buffer is full.
    const qint64 limit = wanted > 0 ? wanted : DumpBuffer::kCapacity;
    while (total < limit) {
        const qint64 n =
            file.read(reinterpret_cast<char*>(buffer.data.data()) + total, limit - total);
        if (n < 0) return false;
        if (n == 0) break;
        total += n;
    }
    buffer.length = static_cast<std::int32_t>(total);
    return true;
}

bool isSysexDumpFile(const QString& path) {
    if (path.isEmpty()) return false;
    QFile file(path);
    char first = 0;
    return file.open(QIODevice::ReadOnly) && file.getChar(&first) &&
           static_cast<unsigned char>(first) == 0xF0;
}

namespace {

bool writeInPlace(const QString& path, const QByteArray& bytes, QString* error) {
    QFile file(path);
    const bool written = file.exists() && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write(bytes) == bytes.size() && file.flush();
    if (!written && error) *error = file.errorString();
    return written;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         WriteFallback fallback) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (fallback == WriteFallback::InPlace) return writeInPlace(path, bytes, error);
        if (error) *error = file.errorString();
        return false;
    }
    if (file.write(bytes) == bytes.size() && file.commit()) return true;
    if (error) *error = file.errorString();
    file.cancelWriting();
    return false;
}
