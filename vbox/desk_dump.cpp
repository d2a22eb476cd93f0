#include "desk_dump.h"

#include "desk_description.h"
#include "dip_switch.h"
#include "knob.h"
#include "lcd_label.h"
#include "tag_scheme.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

namespace {

qint64 colour(const QColor& colour) {
    return desk_file::windowsColourOf(colour.rgb());
}

// The type word, the section prefix and the caption of a known control; nothing for the rest.
struct Known {
    QStringView type;
    QStringView prefix;
    std::optional<QString> caption;
};

std::optional<Known> known(const QWidget* control) {
    using std::nullopt;
    if (auto* b = qobject_cast<const TVrAniButton*>(control))
        return Known{u"SkinButton", u"Button_", b->toolTip()};
    if (auto* d = qobject_cast<const TVrBitmapDial*>(control))
        return Known{u"SkinKnob", u"SkinKnob_", d->toolTip()};
    if (auto* k = qobject_cast<const TKnob*>(control))
        return Known{u"Knob", u"Knob_", k->Caption()};
    if (auto* l = qobject_cast<const TLCDLabel*>(control))
        return Known{u"LCDLabel", u"LCDLabel_", l->caption()};
    if (qobject_cast<const TDipSwitch*>(control))
        return Known{u"DipSwitch", u"DipSwitch_", nullopt};
    if (auto* b = qobject_cast<const QPushButton*>(control))
        return Known{u"Button", u"Button_", b->text()};
    if (auto* l = qobject_cast<const QLabel*>(control))
        return Known{u"Label", u"Label_", l->text()};
    return nullopt;
}

void addLcdKeys(SettingsFile::Writes& dump, const TLCDLabel& lcd) {
    dump.add("PixelWidth", lcd.pixelWidth());
    dump.add("PixelHeight", lcd.pixelHeight());
    dump.add("PixelSize", lcd.pixelSize());
    dump.add("PixelOn", colour(lcd.pixelOn()));
    dump.add("PixelOff", colour(lcd.pixelOff()));
    dump.add("BackGround", colour(lcd.backGround()));
    dump.add("BorderColor", colour(lcd.borderColor()));
    dump.add("BorderSpace", lcd.borderSpace());
    dump.add("CharSpacing", lcd.charSpacing());
}

} // namespace

SettingsFile::Writes describeDesk(const QWidget& window) {
    const QList<QWidget*> children = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    SettingsFile::Writes dump;
    dump.reserve(children.size() + 1, children.size() * 8 + 5); // knobs, the most, have seven
    dump.beginSection(u"Form");
    dump.add("Top", window.y());
    dump.add("Left", window.x());
    dump.add("Width", window.width());
    dump.add("Height", window.height());
    dump.add("Caption", window.windowTitle());
    for (int i = 0; i < children.size(); ++i) {
        const QWidget* control = children[i];
        const auto kind = known(control);
        if (!kind) continue;
        dump.beginSection(kind->prefix, i);
        dump.add("Type", kind->type);
        if (kind->caption) dump.add("Caption", *kind->caption);
        if (auto* lcd = qobject_cast<const TLCDLabel*>(control)) addLcdKeys(dump, *lcd);
        if (auto* dip = qobject_cast<const TDipSwitch*>(control))
            dump.add("BitCount", dip->GetBitCount());
        dump.add("Tag", tagOf(control));
        dump.add("Height", control->height());
        dump.add("Width", control->width());
        dump.add("Left", control->x());
        dump.add("Top", control->y());
    }
    return dump;
}

bool writeDeskDump(const SettingsFile::Writes& dump, const QString& path) {
    return SettingsFile::writeValues(path, dump);
}

QString deskDumpPath(const QString& programFolder) {
    const QString name = QStringLiteral("customdesk.ini");
    const QFileInfo folder(programFolder);
    if (folder.isDir() && folder.isWritable()) return QDir(programFolder).filePath(name);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    return QDir(documents).filePath(name);
}
