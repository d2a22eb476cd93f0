// PresetLibrary: what the settings file gives the editor: named pot and button presets, the
// captions of meta events, and the custom desk and start-up bank settings.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

struct MetaCaptions {
    QString byte0B = QStringLiteral("Meta ID :");
    QString byte1 = QStringLiteral("Meta Event Nr :");
    QString min = QStringLiteral("Min :");
    QString max = QStringLiteral("Max :");
    QString initialValue = QStringLiteral("Initial Value :");
};

struct PresetLibrary {
    MetaCaptions metaCaptions;
    QStringList potPresetKeys;
    QStringList potPresetNames;
    QStringList buttPresetKeys;
    QStringList buttPresetNames;
    QString customDeskFile;
    bool autoShowDesk = false;
    bool hideEditor = false;
    QString customSysexFileName;
};

namespace preset_file {

inline const QString kDefaultFileName = QStringLiteral("vpt64presets.ini");

// The settings file: the command-line argument unchanged when given, else the default file in
// the program's folder.
QString settingsFilePath(const QString& argument, const QString& programDir);

// Reads the library from the settings file. A missing file gives every default.
PresetLibrary read(const QString& settingsFile, const QString& programDir);

// A path read from a settings file: absolute when its second character is ":" (made on
// Windows) or when it starts with "/"; otherwise it lies in `folder`. Backslashes become "/".
QString resolvePath(const QString& path, const QString& folder);

// Whether a path read from the settings file names an existing file: a regular file or a link
// to one. A folder (such as an empty name resolved to its folder) or a device never counts.
bool fileExists(const QString& path);

// Writes the three custom desk keys in this order and nothing else. Returns false when the file
// cannot be written; keys written before the failure stay written. A file that had to change its
// encoding to hold the desk path adds a line saying so to `log`.
bool storeAppSettings(const QString& settingsFile, const QString& customDeskFile, bool autoShowDesk,
                      bool hideEditor, QStringList& log);

// A pot preset key "BBDDMMXX" or "BBDDMMXX.II": status, data byte, min, max and an optional
// initial value, as hexadecimal numbers.
struct PotPresetValue {
    std::uint32_t bytes = 0; // status in bits 31..24, data, min, max in bits 7..0
    std::optional<std::uint32_t> initialValue;
};
std::optional<PotPresetValue> parsePotKey(const QString& key);

// A button preset key: status, data 1 and data 2 in the low 24 bits of one hexadecimal number.
std::optional<std::uint32_t> parseButtonKey(const QString& key);

// The three entry bytes that applying a button key gives once the fields have taken them in:
// the status no lower than 0x90, the data bytes no higher than 0x7F.
std::optional<std::array<std::uint8_t, 3>> buttonKeyBytes(const QString& key);

// The four bytes of a pot key that a pot can match: exactly eight hexadecimal digits in either
// letter case. A key with an initial-value part, or in any other form, matches no pot.
std::optional<std::array<std::uint8_t, 4>> potKeyBytes(const QString& key);

// Whether a preset's status byte names the event of an entry's status byte. A channel message
// (0x80..0xEF) matches on every channel; any other status byte only itself.
bool sameEvent(std::uint8_t presetStatus, std::uint8_t entryStatus);
// The status byte applying a preset gives an entry: a channel message keeps the entry's channel.
std::uint8_t appliedStatus(std::uint8_t presetStatus, std::uint8_t entryStatus);

// Position of the pot key that matches the pot's four bytes (status, data, min, max), or -1: the
// first key on the pot's own channel, else the first on any channel.
int findPotPreset(const QStringList& keys, const std::array<std::uint8_t, 4>& bytes);
// Position of the button key whose applied bytes match the button's three bytes, or -1; the
// button's own channel first, as for pots.
int findButtonPreset(const QStringList& keys, const std::array<std::uint8_t, 3>& bytes);

// The label a preset name gives: the text after its first ": ", or the whole name, at most
// 15 characters.
QString labelFromPresetName(const QString& name);

} // namespace preset_file
