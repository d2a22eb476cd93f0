// Banks and files for the tests that run against `vpt64 sim` on a private JACK server.
#pragma once

#include "bank_record.h"
#include "built_in_dump.h"
#include "dump_codec.h"
#include "dump_file.h"

#include <QFile>
#include <QString>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The eight blocks of `record` with the device id in every block.
inline Bytes dumpOf(const BankRecord& record, int deviceId) {
    Bytes dump(2120);
    buildDump(record, dump);
    for (int b = 0; b < 8; ++b)
        dump[b * 265 + 5] = std::uint8_t(deviceId << 4 | 0x4);
    return dump;
}

inline bool writeBytes(const QString& path, const Bytes& bytes) {
    return writeFileAtomically(
        path, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
}

inline Bytes readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

inline Bytes bankChange(int deviceId, int bank) {
    return {0xF0, 0x00, 0x00, 0x7E, 0x43, std::uint8_t(deviceId << 4 | 0x8), std::uint8_t(bank),
            0xF7};
}

inline Bytes dumpRequest(int deviceId) {
    return {0xF0, 0x00, 0x00, 0x7E, 0x43, std::uint8_t(deviceId << 4 | 0x5), 0xF7};
}

inline Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
