// Settings, preset and desk files: any bytes are read without a crash, every preset key is
// parsed, and a key written into the file reads back with the value written.
#include "preset_library.h"
#include "settings_file.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdlib>

namespace {

// The settings code reads and writes real files; a memory-backed folder keeps that fast.
const QString& scratchFile() {
    static const QString path =
        QDir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                       : QDir::tempPath())
            .filePath(QStringLiteral("vpt64-fuzz-settings-%1.ini")
                          .arg(QCoreApplication::applicationPid()));
    static const int removedAtExit = std::atexit([] { QFile::remove(scratchFile()); });
    (void)removedAtExit;
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        QFile file(scratchFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const PresetLibrary library = preset_file::read(scratchFile(), QStringLiteral("/opt/vpt64"));
    for (const QString& key : library.potPresetKeys)
        preset_file::parsePotKey(key);
    for (const QString& key : library.buttPresetKeys)
        preset_file::buttonKeyBytes(key);

    SettingsFile file(scratchFile());
    const QString written = QStringLiteral("/desks/fuzz.vpt");
    if (file.setValue(QStringLiteral("CUSTOMDESK"), QStringLiteral("FILENAME"), written) &&
        SettingsFile(scratchFile())
                .value(QStringLiteral("CustomDesk"), QStringLiteral("FileName")) != written)
        std::abort();
    return 0;
}
