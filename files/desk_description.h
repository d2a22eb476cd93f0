// DeskDescription: a custom desk as its INI file describes it, read without building anything:
// the window, then one object per section that builds one, in file order. Everything read is
// bounded here, because a desk file may come from anywhere.
#pragma once

#include "settings_file.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace desk_file {

// Far beyond any real desk, small enough that no value read can exhaust memory.
constexpr int kMaxSections = 2048;
constexpr qint64 kMaxFileBytes = 1024 * 1024;
constexpr int kMaxExtent = 16384;   // width, height and distance from the origin, in pixels
constexpr int kMaxTextLength = 256; // captions, hints and LCD texts
constexpr int kMaxBits = 32;        // a DIP switch's bits, and the characters of a bit label
constexpr int kMaxSkinFrames = 4096;
constexpr int kMaxInterval = 60000; // milliseconds between animation steps

enum class Kind {
    Button,
    SkinButton,
    Knob,
    SkinKnob,
    Label,
    LCDLabel,
    Image,
    DipSwitch,
    ButtonSkin,
    KnobSkin
};

// The Type value that builds `kind`, and back; compared exactly, letter case included.
QString typeWord(Kind kind);
std::optional<Kind> kindOf(const QString& type);

// Colours as the file writes them: Windows blue-green-red, or 0x80000000 + n for system colour n.
using WindowsColour = quint32;
constexpr WindowsColour kButtonFaceColour = 0x8000000F;

struct Window {
    QRect geometry{100, 100, 100, 100};
    QString caption = QStringLiteral("Default Caption");
    WindowsColour color = kButtonFaceColour;
    bool autoSize = false;
};

struct LcdSettings {
    int pixelWidth = 1;
    int pixelHeight = 1;
    int pixelSize = 0;
    WindowsColour pixelOn = 0;
    WindowsColour pixelOff = 0xFFFFFF;
    WindowsColour backGround = 0xFFFFFF;
    WindowsColour borderColor = 0xFF0000;
    int borderSpace = 3;
    int charSpacing = 2;
};

struct DeskObject {
    Kind kind = Kind::Button;
    QString section;
    int position = 0; // index of the section in the file, [Form] included
    int tag = 0;
    QString caption;           // text, hint or LCD text, by kind
    std::optional<QSize> size; // not read for skinned knobs, which size themselves
    QPoint topLeft;
    bool transparent = false;
    int interval = 20;
    bool switchStyle = false;
    int skinId = 0;
    int skinImageCount = 32;
    LcdSettings lcd;
    QStringList onLabels; // one per bit of a DIP switch: its bit count
    QStringList offLabels;
    QString fileName; // pictures and skins: the path beside the desk file
};

struct DeskDescription {
    Window window;
    std::vector<DeskObject> objects;
    // What was cut down or left out, one log line each.
    QStringList problems;
};

// Reads an already loaded file; `deskFolder` is the folder that file names are relative to.
DeskDescription readDeskDescription(const SettingsFile& file, const QString& deskFolder);

// Reads the desk file at `path`. Nothing when it is not a regular file or too large to be a desk;
// then `problem` says why (empty for a missing file, which is no problem).
std::optional<DeskDescription> readDeskFile(const QString& path, QString* problem);

// Windows colour to RGB; system colours are left to the caller.
constexpr bool isSystemColour(WindowsColour colour) {
    return (colour & 0xFF000000u) == 0x80000000u;
}
constexpr quint32 rgbOf(WindowsColour colour) {
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}
constexpr WindowsColour windowsColourOf(quint32 rgb) {
    return rgbOf(rgb & 0xFFFFFF);
}

} // namespace desk_file
