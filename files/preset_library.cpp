#include "preset_library.h"

#include "settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

const QString kAppCustom = QStringLiteral("APPLICATIONCUSTOM");
const QString kPotPresets = QStringLiteral("POTPRESETS");
const QString kButtonPresets = QStringLiteral("BUTTONPRESETS");
const QString kCustomDesk = QStringLiteral("CUSTOMDESK");
const QString kCustomSysex = QStringLiteral("CUSTOMSYSEX");
const QString kFileName = QStringLiteral("FILENAME");
const QString kAutoShow = QStringLiteral("AUTOSHOW");
const QString kEditorHide = QStringLiteral("EDITORHIDE");

// Limits of the buffers the settings were always read with.
constexpr int kValueLength = 2047;
constexpr int kKeyListBytes = 16384;
constexpr int kKeyParseLength = 1023;
constexpr int kLabelLength = 15;

QString readText(const SettingsFile& file, const QString& section, const QString& key,
                 const QString& fallback) {
    return file.value(section, key, fallback).left(kValueLength);
}

void readPresets(const SettingsFile& file, const QString& section, QStringList& keys,
                 QStringList& names) {
    keys = file.keys(section, kKeyListBytes);
    for (const QString& key : keys)
        names.append(readText(file, section, key, QStringLiteral("Untitled")));
}

int hexDigit(QChar c) {
    const char ch = c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\0';
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// Reads hexadecimal digits at `pos` the way a "%x" conversion does: optional blanks and an
// optional "0x", then at least one digit. Only the low 32 bits are kept.
std::optional<std::uint32_t> readHex(const QString& text, int& pos) {
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
    const bool prefixed = pos + 2 < text.size() && text[pos] == u'0' &&
                          (text[pos + 1] == u'x' || text[pos + 1] == u'X') &&
                          hexDigit(text[pos + 2]) >= 0;
    if (prefixed) pos += 2;
    std::uint32_t value = 0;
    const int start = pos;
    for (; pos < text.size() && hexDigit(text[pos]) >= 0; ++pos)
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[pos]));
    if (pos == start) return std::nullopt;
    return value;
}

bool isChannelMessage(std::uint8_t status) {
    return status >= 0x80 && status < 0xF0;
}

// The first key whose bytes equal `bytes`, else the first that differs only in the channel.
template <std::size_t N, typename KeyBytes>
int findPreset(const QStringList& keys, const std::array<std::uint8_t, N>& bytes,
               KeyBytes keyBytes) {
    int otherChannel = -1;
    for (int i = 0; i < keys.size(); ++i) {
        const auto key = keyBytes(keys[i]);
        if (!key || !std::equal(key->begin() + 1, key->end(), bytes.begin() + 1)) continue;
        if ((*key)[0] == bytes[0]) return i;
        if (otherChannel < 0 && preset_file::sameEvent((*key)[0], bytes[0])) otherChannel = i;
    }
    return otherChannel;
}

} // namespace

namespace preset_file {

QString settingsFilePath(const QString& argument, const QString& programDir) {
    if (!argument.isEmpty()) return argument;
    return QDir(programDir).filePath(kDefaultFileName);
}

QString resolvePath(const QString& path, const QString& folder) {
    const bool absolute = (path.size() >= 2 && path[1] == u':') || path.startsWith(u'/');
    QString converted = path;
    converted.replace(u'\\', u'/');
    if (absolute) return converted;
    return QDir::cleanPath(folder + u'/' + converted);
}

PresetLibrary read(const QString& settingsFile, const QString& programDir) {
    const SettingsFile file(settingsFile);
    PresetLibrary library;
    MetaCaptions& captions = library.metaCaptions;
    captions.byte0B =
        readText(file, kAppCustom, QStringLiteral("META_PotByte0BLabel"), captions.byte0B);
    captions.byte1 =
        readText(file, kAppCustom, QStringLiteral("META_PotByte1Label"), captions.byte1);
    captions.min = readText(file, kAppCustom, QStringLiteral("META_PotMinLabel"), captions.min);
    captions.max = readText(file, kAppCustom, QStringLiteral("META_PotMaxLabel"), captions.max);
    captions.initialValue = readText(file, kAppCustom, QStringLiteral("META_PotInitialValueLabel"),
                                     captions.initialValue);

    readPresets(file, kButtonPresets, library.buttPresetKeys, library.buttPresetNames);
    readPresets(file, kPotPresets, library.potPresetKeys, library.potPresetNames);

    const QString deskFile =
        readText(file, kCustomDesk, kFileName, QStringLiteral("customdesk.vpt"));
    // "self" names the settings file itself, wherever it was found.
    library.customDeskFile = deskFile == QLatin1String("self")
                                 ? QFileInfo(settingsFile).absoluteFilePath()
                                 : resolvePath(deskFile, programDir);
    library.autoShowDesk = file.boolValue(kCustomDesk, kAutoShow, false);
    library.hideEditor = file.boolValue(kCustomDesk, kEditorHide, false);

    const QString sysexFile = readText(file, kCustomSysex, kFileName, QStringLiteral("none"));
    library.customSysexFileName = resolvePath(sysexFile, QFileInfo(library.customDeskFile).path());
    return library;
}

bool fileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

bool storeAppSettings(const QString& settingsFile, const QString& customDeskFile, bool autoShowDesk,
                      bool hideEditor, QStringList& log) {
    SettingsFile file(settingsFile);
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    const bool written = file.setValue(kCustomDesk, kFileName, customDeskFile);
    // Only a path with characters outside Windows-1252 converts the file.
    if (written && file.convertedFrom())
        log << QStringLiteral("%1 converted from Windows-1252 to UTF-8 to hold the path %2")
                   .arg(settingsFile, customDeskFile);
    return written && file.setValue(kCustomDesk, kAutoShow, flag(autoShowDesk)) &&
           file.setValue(kCustomDesk, kEditorHide, flag(hideEditor));
}

std::optional<PotPresetValue> parsePotKey(const QString& key) {
    const QString text = key.left(kKeyParseLength);
    int pos = 0;
    const auto bytes = readHex(text, pos);
    if (!bytes) return std::nullopt;
    PotPresetValue value{*bytes, std::nullopt};
    if (pos < text.size() && text[pos] == u'.') {
        ++pos;
        value.initialValue = readHex(text, pos);
    }
    return value;
}

std::optional<std::uint32_t> parseButtonKey(const QString& key) {
    int pos = 0;
    const auto value = readHex(key.left(kKeyParseLength), pos);
    if (!value) return std::nullopt;
    return *value & 0xFFFFFF;
}

std::optional<std::array<std::uint8_t, 3>> buttonKeyBytes(const QString& key) {
    const auto value = parseButtonKey(key);
    if (!value) return std::nullopt;
    const auto byteAt = [&](int shift) { return static_cast<int>((*value >> shift) & 0xFF); };
    return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(std::max(byteAt(16), 0x90)),
                                       static_cast<std::uint8_t>(std::min(byteAt(8), 0x7F)),
                                       static_cast<std::uint8_t>(std::min(byteAt(0), 0x7F))};
}

std::optional<std::array<std::uint8_t, 4>> potKeyBytes(const QString& key) {
    constexpr int kDigits = 8;
    if (key.size() != kDigits) return std::nullopt;
    std::array<std::uint8_t, 4> bytes{};
    for (int i = 0; i < kDigits; ++i) {
        const int digit = hexDigit(key[i]);
        if (digit < 0) return std::nullopt;
        bytes[i / 2] = static_cast<std::uint8_t>(bytes[i / 2] * 16 + digit);
    }
    return bytes;
}

bool sameEvent(std::uint8_t presetStatus, std::uint8_t entryStatus) {
    return isChannelMessage(presetStatus) ? (presetStatus & 0xF0) == (entryStatus & 0xF0)
                                          : presetStatus == entryStatus;
}

std::uint8_t appliedStatus(std::uint8_t presetStatus, std::uint8_t entryStatus) {
    if (!isChannelMessage(presetStatus)) return presetStatus;
    return static_cast<std::uint8_t>((presetStatus & 0xF0) | (entryStatus & 0x0F));
}

int findPotPreset(const QStringList& keys, const std::array<std::uint8_t, 4>& bytes) {
    return findPreset(keys, bytes, potKeyBytes);
}

int findButtonPreset(const QStringList& keys, const std::array<std::uint8_t, 3>& bytes) {
    return findPreset(keys, bytes, buttonKeyBytes);
}

QString labelFromPresetName(const QString& name) {
    const qsizetype separator = name.indexOf(QLatin1String(": "));
    return (separator < 0 ? name : name.mid(separator + 2)).left(kLabelLength);
}

} // namespace preset_file
