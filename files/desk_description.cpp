#include "desk_description.h"

#include <QFile>
#include <QFileInfo>
#include <array>

namespace desk_file {

namespace {

constexpr std::array kTypeWords{"Button",   "SkinButton", "Knob",      "SkinKnob",   "Label",
                                "LCDLabel", "Image",      "DipSwitch", "ButtonSkin", "KnobSkin"};
constexpr int kTagLimit = 1000000000; // keeps Tag arithmetic (Tag + 2000) within an int

const QString kForm = QStringLiteral("Form");

// Reads the keys of one section, limiting each number to what the desk can use and noting
// every value that had to be cut down.
class SectionReader {
public:
    SectionReader(const SettingsFile& file, QString section, QStringList& problems)
        : m_file(file), m_section(std::move(section)), m_problems(problems) {}

    int number(const char* key, qint64 fallback, qint64 lowest, qint64 highest) const {
        const qint64 value = m_file.intValue(m_section, QLatin1String(key), fallback);
        if (value >= lowest && value <= highest) return int(value);
        const qint64 bounded = std::clamp(value, lowest, highest);
        m_problems << QStringLiteral("Desk section [%1]: %2=%3 is out of range, %4 used")
                          .arg(m_section, QLatin1String(key))
                          .arg(value)
                          .arg(bounded);
        return int(bounded);
    }
    int extent(const char* key, int fallback) const { return number(key, fallback, 0, kMaxExtent); }
    int coordinate(const char* key, int fallback) const {
        return number(key, fallback, -kMaxExtent, kMaxExtent);
    }
    bool flag(const char* key, bool fallback) const {
        return m_file.intValue(m_section, QLatin1String(key), fallback ? 1 : 0) != 0;
    }
    WindowsColour colour(const char* key, WindowsColour fallback) const {
        return WindowsColour(m_file.intValue(m_section, QLatin1String(key), fallback));
    }
    QString text(const char* key, const QString& fallback, int limit = kMaxTextLength) const {
        const QString value = m_file.value(m_section, QLatin1String(key), fallback);
        if (value.size() <= limit) return value;
        m_problems << QStringLiteral("Desk section [%1]: %2 is cut to %3 characters")
                          .arg(m_section, QLatin1String(key))
                          .arg(limit);
        return value.left(limit);
    }

private:
    const SettingsFile& m_file;
    QString m_section;
    QStringList& m_problems;
};

struct KindDefaults {
    int tagOffset;
    int captionOffset; // caption default p + this
    int side;          // Height and Width
    bool leftAtOrigin; // Left 0 instead of 30 x p, Top 0 instead of 30
    bool readsCaption;
    bool readsTransparent;
};

KindDefaults defaultsOf(Kind kind) {
    switch (kind) {
    case Kind::Button:
        return {1001, 0, 25, false, true, false};
    case Kind::SkinButton:
        return {1001, 0, 25, false, true, true};
    case Kind::Knob:
        return {0, 1, 25, false, true, false};
    case Kind::SkinKnob:
        return {0, 1, 25, false, true, true};
    case Kind::Label:
        return {2001, 0, 25, false, true, false};
    case Kind::LCDLabel:
        return {10100, 0, 25, false, true, false};
    case Kind::Image:
        return {10100, 0, 10, true, false, true};
    case Kind::DipSwitch:
        return {10100, 0, 25, false, false, true};
    case Kind::ButtonSkin:
    case Kind::KnobSkin:
        break;
    }
    return {};
}

QString defaultFileName(Kind kind) {
    switch (kind) {
    case Kind::ButtonSkin:
        return QStringLiteral("defaultButtonskin.bmp");
    case Kind::KnobSkin:
        return QStringLiteral("defaultknobskin.bmp");
    default:
        return QStringLiteral("default.bmp");
    }
}

void readLcd(const SectionReader& in, LcdSettings& lcd) {
    lcd.pixelWidth = in.number("PixelWidth", 1, 1, 64);
    lcd.pixelHeight = in.number("PixelHeight", 1, 1, 64);
    lcd.pixelSize = in.number("PixelSize", 0, 0, 16);
    lcd.pixelOn = in.colour("PixelOn", 0);
    lcd.pixelOff = in.colour("PixelOff", 0xFFFFFF);
    lcd.backGround = in.colour("BackGround", 0xFFFFFF);
    lcd.borderColor = in.colour("BorderColor", 0xFF0000);
    lcd.borderSpace = in.number("BorderSpace", 3, 0, 256);
    lcd.charSpacing = in.number("CharSpacing", 2, 0, 256);
}

void readDipBits(const SectionReader& in, DeskObject& dip) {
    const int bits = in.number("BitCount", 8, 0, kMaxBits);
    for (int i = 0; i < bits; ++i) {
        const QByteArray on = "BitOnLabel" + QByteArray::number(i);
        const QByteArray off = "BitOffLabel" + QByteArray::number(i);
        dip.onLabels << in.text(on.constData(), QStringLiteral("%1: ON").arg(i), kMaxBits);
        dip.offLabels << in.text(off.constData(), QStringLiteral("%1: OFF").arg(i), kMaxBits);
    }
}

// File names are relative to the desk file's folder; names written on Windows have backslashes.
QString besideDesk(const QString& deskFolder, QString name) {
    name.replace(u'\\', u'/');
    return deskFolder + name;
}

DeskObject readObject(const SectionReader& in, Kind kind, const QString& section, int p,
                      const QString& deskFolder) {
    DeskObject object;
    object.kind = kind;
    object.section = section;
    object.position = p;
    if (kind == Kind::ButtonSkin || kind == Kind::KnobSkin) {
        object.fileName = besideDesk(deskFolder, in.text("FileName", defaultFileName(kind)));
        return object;
    }
    const KindDefaults d = defaultsOf(kind);
    object.tag = in.number("Tag", qint64{p} + d.tagOffset, -kTagLimit, kTagLimit);
    if (d.readsCaption) object.caption = in.text("Caption", QString::number(p + d.captionOffset));
    if (kind != Kind::SkinKnob) {
        const int height = in.extent("Height", d.side);
        object.size = QSize(in.extent("Width", d.side), height);
    }
    const int left =
        in.coordinate("Left", d.leftAtOrigin ? 0 : int(std::min(30LL * p, qint64{kMaxExtent})));
    object.topLeft = QPoint(left, in.coordinate("Top", d.leftAtOrigin ? 0 : 30));
    if (d.readsTransparent) object.transparent = in.flag("Transparent", true);
    switch (kind) {
    case Kind::SkinButton:
        object.interval = in.number("Interval", 20, 1, kMaxInterval);
        object.switchStyle = in.flag("SwitchStyle", false);
        [[fallthrough]];
    case Kind::SkinKnob:
        object.skinId = in.number("SkinID", 0, -kTagLimit, kTagLimit);
        object.skinImageCount = in.number("SkinImageCount", 32, 0, kMaxSkinFrames);
        break;
    case Kind::LCDLabel:
        readLcd(in, object.lcd);
        break;
    case Kind::Image:
        object.fileName = besideDesk(deskFolder, in.text("FileName", defaultFileName(kind)));
        break;
    case Kind::DipSwitch:
        readDipBits(in, object);
        break;
    default:
        break;
    }
    return object;
}

Window readWindow(const SectionReader& in) {
    Window window;
    const int top = in.coordinate("Top", 100);
    const int left = in.coordinate("Left", 100);
    const int width = in.extent("Width", 100);
    const int height = in.extent("Height", 100);
    window.geometry = QRect(left, top, width, height);
    window.caption = in.text("Caption", window.caption);
    window.color = in.colour("Color", kButtonFaceColour);
    window.autoSize = in.flag("AutoSize", false);
    return window;
}

// Counts section headers without parsing: a file with more than any desk needs is refused
// before the settings layer looks sections up one by one. Counted in the decoded text, since a
// UTF-16 file has a zero byte between the characters.
qint64 sectionHeaders(const QByteArray& bytes) {
    qint64 count = 0;
    bool lineStart = true;
    for (char c : decodeText(bytes).utf8) {
        if (lineStart && c == '[') ++count;
        if (c == '\n')
            lineStart = true;
        else if (c != ' ' && c != '\t')
            lineStart = false;
    }
    return count;
}

} // namespace

QString typeWord(Kind kind) {
    return QLatin1String(kTypeWords[std::size_t(kind)]);
}

std::optional<Kind> kindOf(const QString& type) {
    for (std::size_t i = 0; i < kTypeWords.size(); ++i)
        if (type == QLatin1String(kTypeWords[i])) return Kind(i);
    return std::nullopt;
}

DeskDescription readDeskDescription(const SettingsFile& file, const QString& deskFolder) {
    DeskDescription desk;
    QStringList sections = file.sectionNames();
    if (sections.size() > kMaxSections) {
        desk.problems << QStringLiteral("Desk file has %1 sections, only the first %2 are read")
                             .arg(sections.size())
                             .arg(kMaxSections);
        sections.resize(kMaxSections);
    }
    desk.window = readWindow(SectionReader(file, kForm, desk.problems));
    for (int p = 0; p < sections.size(); ++p) {
        const QString& name = sections[p];
        if (name.compare(kForm, Qt::CaseInsensitive) == 0) continue;
        const auto kind = kindOf(file.value(name, QStringLiteral("Type"), QStringLiteral("None")));
        if (!kind) continue;
        desk.objects.push_back(
            readObject(SectionReader(file, name, desk.problems), *kind, name, p, deskFolder));
    }
    return desk;
}

std::optional<DeskDescription> readDeskFile(const QString& path, QString* problem) {
    const QFileInfo info(path);
    if (!info.isFile()) return std::nullopt;
    QFile file(path);
    if (info.size() > kMaxFileBytes || !file.open(QIODevice::ReadOnly)) {
        *problem =
            info.size() > kMaxFileBytes
                ? QStringLiteral("Desk file %1 is too large (%2 bytes)").arg(path).arg(info.size())
                : QStringLiteral("Desk file %1 cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (const qint64 headers = sectionHeaders(file.readAll()); headers > 2 * kMaxSections) {
        *problem = QStringLiteral("Desk file %1 has too many sections (%2)").arg(path).arg(headers);
        return std::nullopt;
    }
    return readDeskDescription(SettingsFile(path), info.absolutePath() + u'/');
}

} // namespace desk_file
