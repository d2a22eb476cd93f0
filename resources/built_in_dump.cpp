#include "built_in_dump.h"

#include "dump_codec.h"

#include <QFile>

static void registerResources() {
    // Referencing the initialiser keeps the resource data in programs linking this library.
    Q_INIT_RESOURCE(resources);
}

std::optional<QByteArray> loadBuiltInDump() {
    registerResources();
    QFile resource(QStringLiteral(":/PT64STD/PT64SYSEXFILE"));
    if (!resource.open(QIODevice::ReadOnly)) return std::nullopt;
    return resource.readAll();
}

BankRecord loadBuiltInBank() {
    const auto dump = loadBuiltInDump();
    if (!dump) return {};
    const auto scanned =
        scanDump(std::span(reinterpret_cast<const std::uint8_t*>(dump->constData()),
                           static_cast<std::size_t>(dump->size())),
                 {});
    return scanned ? scanned->record : BankRecord{};
}
