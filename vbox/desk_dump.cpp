#include "desk_dump.h"

#include "desk_description.h"
#include "dip_switch.h"
#include "knob.h"
#include "lcd_label.h"
#include "settings_file.h"
#include "tag_scheme.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

namespace {

using Keys = QList<QPair<QString, QString>>;

QString number(qint64 value) {
    return QString::number(value);
}
QString colour(const QColor& colour) {
    return number(desk_file::windowsColourOf(colour.rgb()));
}

// The type word, the section prefix and the caption of a known control; nothing for the rest.
struct Known {
    QString type;
    QString prefix;
    std::optional<QString> caption;
};

std::optional<Known> known(const QWidget* control) {
    using std::nullopt;
    if (auto* b = qobject_cast<const TVrAniButton*>(control))
        return Known{"SkinButton", "Button_", b->toolTip()};
    if (auto* d = qobject_cast<const TVrBitmapDial*>(control))
        return Known{"SkinKnob", "SkinKnob_", d->toolTip()};
    if (auto* k = qobject_cast<const TKnob*>(control)) return Known{"Knob", "Knob_", k->Caption()};
    if (auto* l = qobject_cast<const TLCDLabel*>(control))
        return Known{"LCDLabel", "LCDLabel_", l->caption()};
    if (qobject_cast<const TDipSwitch*>(control)) return Known{"DipSwitch", "DipSwitch_", nullopt};
    if (auto* b = qobject_cast<const QPushButton*>(control))
        return Known{"Button", "Button_", b->text()};
    if (auto* l = qobject_cast<const QLabel*>(control)) return Known{"Label", "Label_", l->text()};
    return nullopt;
}

Keys lcdKeys(const TLCDLabel& lcd) {
    return {{"PixelWidth", number(lcd.pixelWidth())},   {"PixelHeight", number(lcd.pixelHeight())},
            {"PixelSize", number(lcd.pixelSize())},     {"PixelOn", colour(lcd.pixelOn())},
            {"PixelOff", colour(lcd.pixelOff())},       {"BackGround", colour(lcd.backGround())},
            {"BorderColor", colour(lcd.borderColor())}, {"BorderSpace", number(lcd.borderSpace())},
            {"CharSpacing", number(lcd.charSpacing())}};
}

} // namespace

std::vector<DumpSection> describeDesk(const QWidget& window) {
    std::vector<DumpSection> sections;
    sections.push_back({"Form",
                        {{"Top", number(window.y())},
                         {"Left", number(window.x())},
                         {"Width", number(window.width())},
                         {"Height", number(window.height())},
                         {"Caption", window.windowTitle()}}});
    const QList<QWidget*> children = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < children.size(); ++i) {
        const QWidget* control = children[i];
        const auto kind = known(control);
        if (!kind) continue;
        Keys keys{{"Type", kind->type}};
        if (kind->caption) keys.append({"Caption", *kind->caption});
        if (auto* lcd = qobject_cast<const TLCDLabel*>(control)) keys += lcdKeys(*lcd);
        if (auto* dip = qobject_cast<const TDipSwitch*>(control))
            keys.append({"BitCount", number(dip->GetBitCount())});
        keys += Keys{{"Tag", number(tagOf(control))},
                     {"Height", number(control->height())},
                     {"Width", number(control->width())},
                     {"Left", number(control->x())},
                     {"Top", number(control->y())}};
        sections.push_back({kind->prefix + number(i), keys});
    }
    return sections;
}

bool writeDeskDump(const std::vector<DumpSection>& sections, const QString& path) {
    QList<SettingsFile::Write> writes;
    writes.reserve(qsizetype(sections.size()) * 16);
    for (const DumpSection& section : sections)
        for (const auto& [key, value] : section.keys)
            writes.append({section.name, key, value});
    return SettingsFile(path).setValues(writes);
}

QString deskDumpPath(const QString& programFolder) {
    const QString name = QStringLiteral("customdesk.ini");
    const QFileInfo folder(programFolder);
    if (folder.isDir() && folder.isWritable()) return QDir(programFolder).filePath(name);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    return QDir(documents).filePath(name);
}
