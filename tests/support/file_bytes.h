// Whole-file reads and writes for tests that work on real files in temporary folders.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The file's bytes, or nothing when it cannot be read.
inline QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
