#include "built_in_dump.h"

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
