#include "registry_settings.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace registry_settings {

namespace {

const QString kMidiInPort = QStringLiteral("MIDI_IN_PORT");
const QString kMidiOutPort = QStringLiteral("MIDI_OUT_PORT");
const QString kMidiInPortName = QStringLiteral("MIDI_IN_PORT_NAME");
const QString kMidiOutPortName = QStringLiteral("MIDI_OUT_PORT_NAME");
const QString kBlockDelay = QStringLiteral("BLOCK_DELAY");
const QString kDeviceId = QStringLiteral("DEVICE_ID");
const QString kPatternNumber = QStringLiteral("PATTERN_NUMBER");
const QString kSavePath = QStringLiteral("SAVE_PATH");
const QString kOpenPath = QStringLiteral("OPEN_PATH");
const QString kLibraryPath = QStringLiteral("LIBRARY_PATH");
const QString kRecentFiles = QStringLiteral("RECENT_FILES");

QString text(const QSettings& settings, const QString& name) {
    return settings.value(name).toString();
}

int number(const QSettings& settings, const QString& name, int fallback) {
    bool ok = false;
    const int value = text(settings, name).toInt(&ok, 10);
    return ok ? value : fallback;
}

} // namespace

std::unique_ptr<QSettings> open() {
    return std::make_unique<QSettings>(QStringLiteral("Pultron"), QStringLiteral("vPultron64"));
}

TransferSettings read(const QSettings& settings) {
    const TransferSettings defaults;
    return {number(settings, kMidiInPort, defaults.midiInPort),
            number(settings, kMidiOutPort, defaults.midiOutPort),
            text(settings, kMidiInPortName),
            text(settings, kMidiOutPortName),
            number(settings, kBlockDelay, defaults.blockDelay),
            number(settings, kDeviceId, defaults.deviceId),
            number(settings, kPatternNumber, defaults.patternNumber),
            text(settings, kSavePath),
            text(settings, kOpenPath),
            text(settings, kLibraryPath),
            settings.value(kRecentFiles).toStringList()};
}

void write(QSettings& settings, const TransferSettings& values) {
    settings.setValue(kMidiInPort, QString::number(values.midiInPort));
    settings.setValue(kMidiOutPort, QString::number(values.midiOutPort));
    settings.setValue(kBlockDelay, QString::number(values.blockDelay));
    settings.setValue(kDeviceId, QString::number(values.deviceId));
    settings.setValue(kPatternNumber, QString::number(values.patternNumber));
    settings.setValue(kSavePath, values.savePath);
    settings.setValue(kOpenPath, values.openPath);
    settings.setValue(kLibraryPath, values.libraryPath);
    settings.setValue(kRecentFiles, values.recentFiles);
    settings.setValue(kMidiInPortName, values.midiInPortName);
    settings.setValue(kMidiOutPortName, values.midiOutPortName);
    settings.sync();
}

int portSelectorIndex(int storedIndex, const QString& storedName, const QStringList& devices) {
    if (!storedName.isEmpty()) return static_cast<int>(devices.indexOf(storedName)) + 1;
    return storedIndex >= 0 && storedIndex <= devices.size() ? storedIndex : 0;
}

QString defaultFolder(const QString& programDir) {
    if (QFileInfo(programDir).isWritable()) return programDir;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace registry_settings
