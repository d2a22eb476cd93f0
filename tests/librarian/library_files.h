// Bank files of a library folder for the tests that work on real files in temporary folders.
#pragma once

#include "bank_record.h"
#include "dump_codec.h"
#include "library_folder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

// A bank as every dump of it reads back (note-off statuses raised to note-on).
inline BankRecord recordNamed(const std::string& name) {
    BankRecord record;
    record.setBankName(name);
    std::vector<std::uint8_t> dump(2120);
    buildDump(record, dump);
    return scanDump(dump, {})->record;
}

// The dump of `record` with `deviceId` in every block, as a backup from that device writes it.
inline QByteArray dumpOf(const BankRecord& record, int deviceId = 0) {
    QByteArray dump(2120, '\0');
    buildDump(record, std::span(reinterpret_cast<std::uint8_t*>(dump.data()), 2120));
    for (int block = 0; block < 8; ++block)
        dump[block * 265 + 5] = char(deviceId << 4 | 0x4);
    return dump;
}

inline QByteArray dumpOf(const std::string& name, int deviceId = 0) {
    return dumpOf(recordNamed(name), deviceId);
}

// A library folder in a temporary folder.
class LibraryFolder {
public:
    QString path() const { return m_dir.path(); }
    QString bankPath(int bank) const { return library_folder::bankFilePath(path(), bank); }
    bool write(int bank, const QByteArray& bytes) const {
        QFile file(bankPath(bank));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    // Every file of the folder, hidden ones and those left behind by a failed write included.
    std::map<QString, QByteArray> files() const {
        std::map<QString, QByteArray> files;
        for (const QString& name : QDir(path()).entryList(QDir::Files | QDir::Hidden)) {
            QFile file(QDir(path()).filePath(name));
            files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
        }
        return files;
    }

private:
    QTemporaryDir m_dir;
};
