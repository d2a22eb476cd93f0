#include "registry_settings.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <array>

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
const QString kDeskFile = QStringLiteral("DESK_FILE");
const QString kDeskFileInstead = QStringLiteral("DESK_FILE_INSTEAD_OF");
const QString kPlaceDeskFileSuffix = QStringLiteral("_DESK_FILE");

// Far beyond any screen; bounding stored numbers by it keeps the arithmetic on them within int.
constexpr int kFarAway = 1 << 20;

// A place as text, "left top width height", like the other values.
QString placeText(const QRect& place) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(place.x())
        .arg(place.y())
        .arg(place.width())
        .arg(place.height());
}

QRect placeFromText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4) return {};
    std::array<int, 4> n{};
    for (std::size_t i = 0; i < n.size(); ++i) {
        bool ok = false;
        n[i] = parts[qsizetype(i)].toInt(&ok, 10);
        if (!ok) return {};
    }
    if (n[2] <= 0 || n[3] <= 0) return {};
    return {std::clamp(n[0], -kFarAway, kFarAway), std::clamp(n[1], -kFarAway, kFarAway),
            std::min(n[2], kFarAway), std::min(n[3], kFarAway)};
}

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

std::optional<DeskChoice> readDeskChoice(const QSettings& settings) {
    if (!settings.contains(kDeskFile)) return std::nullopt;
    return DeskChoice{text(settings, kDeskFile), text(settings, kDeskFileInstead)};
}

void writeDeskChoice(QSettings& settings, const std::optional<DeskChoice>& choice) {
    if (!choice) {
        settings.remove(kDeskFile);
        settings.remove(kDeskFileInstead);
        return;
    }
    settings.setValue(kDeskFile, choice->deskFile);
    settings.setValue(kDeskFileInstead, choice->instead);
}

WindowPlace readWindowPlace(const QSettings& settings, const QString& window) {
    return {placeFromText(text(settings, window)), text(settings, window + kPlaceDeskFileSuffix)};
}

void writeWindowPlace(QSettings& settings, const QString& window, const WindowPlace& place) {
    settings.setValue(window, placeText(place.place));
    if (place.deskFile.isEmpty())
        settings.remove(window + kPlaceDeskFileSuffix);
    else
        settings.setValue(window + kPlaceDeskFileSuffix, place.deskFile);
}

std::optional<QRect> reachablePlace(const QRect& place, const QList<QRect>& screens) {
    if (!place.isValid() || screens.isEmpty()) return std::nullopt;
    const QRect* target = &screens.first();
    qint64 largest = 0;
    for (const QRect& screen : screens) {
        const QRect overlap = screen.intersected(place);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > largest) {
            largest = area;
            target = &screen;
        }
    }
    const QSize size = place.size().boundedTo(target->size());
    return QRect(std::clamp(place.x(), target->x(), target->x() + target->width() - size.width()),
                 std::clamp(place.y(), target->y(), target->y() + target->height() - size.height()),
                 size.width(), size.height());
}

QString defaultFolder(const QString& programDir) {
    if (QFileInfo(programDir).isWritable()) return programDir;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace registry_settings
