#include "midi_file.h"

#include <algorithm>

namespace {

constexpr char kStart = char(0xF0);
constexpr char kEnd = char(0xF7);

void appendBigEndian(QByteArray& out, quint32 value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

// A variable-length quantity: seven bits per byte, most significant first, bit 7 set on all
// but the last byte.
void appendVariableLength(QByteArray& out, quint32 value) {
    QByteArray groups(1, static_cast<char>(value & 0x7F));
    while (value >>= 7)
        groups.prepend(static_cast<char>(0x80 | (value & 0x7F)));
    out.append(groups);
}

QByteArray fileOf(quint16 division, const QByteArray& track) {
    QByteArray out("MThd");
    appendBigEndian(out, 6, 4);
    appendBigEndian(out, 0, 2); // format 0
    appendBigEndian(out, 1, 2); // one track
    appendBigEndian(out, division, 2);
    out.append("MTrk");
    appendBigEndian(out, static_cast<quint32>(track.size()), 4);
    return out + track;
}

} // namespace

QByteArray recordMidiFile(const BankRecord& record) {
    constexpr quint16 kSmpte25Frames40Ticks = 0xE728;
    QByteArray track(1, '\x04');
    track.append(reinterpret_cast<const char*>(record.bytes().data()),
                 static_cast<qsizetype>(record.bytes().size()));
    return fileOf(kSmpte25Frames40Ticks, track);
}

QByteArray sysexMidiFile(const QByteArray& dump, int blockDelayMs) {
    constexpr quint16 kTicksPerQuarter = 500;
    QByteArray track;
    quint32 delta = 0;
    for (qsizetype start = dump.indexOf(kStart); start >= 0;
         start = dump.indexOf(kStart, start + 1)) {
        const qsizetype end = dump.indexOf(kEnd, start);
        if (end < 0) break;
        const QByteArray body = dump.mid(start + 1, end - start);
        if (body.indexOf(kStart) >= 0) continue; // cut short by the next message
        appendVariableLength(track, delta);
        track.append(kStart);
        appendVariableLength(track, static_cast<quint32>(body.size()));
        track.append(body);
        delta = static_cast<quint32>(std::max(blockDelayMs, 0));
        start = end;
    }
    track.append(QByteArray::fromHex("00ff2f00"));
    return fileOf(kTicksPerQuarter, track);
}
