#include "syx_file.h"

#include "dump_codec.h"
#include "sysex_protocol.h"

QByteArray encodeBank(const BankRecord& record, int deviceId) {
    QByteArray bytes(sysex::kDumpSize, '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
    buildDump(record, std::span(data, static_cast<std::size_t>(bytes.size())));
    for (int block = 0; block < sysex::kBlockCount; ++block)
        data[block * sysex::kBlockSize + sysex::kDeviceCommandIndex] =
            sysex::deviceCommandByte(deviceId, sysex::BlockDump);
    return bytes;
}

QByteArray syxFileBytes(std::span<const std::uint8_t> takenDump, const BankRecord& takenRecord,
                        const BankRecord& current, int deviceId) {
    if (current == takenRecord)
        return QByteArray(reinterpret_cast<const char*>(takenDump.data()),
                          static_cast<qsizetype>(takenDump.size()));
    return encodeBank(current, deviceId);
}
