#include "custom_desk.h"

#include "built_in_skins.h"
#include "control_registry.h"
#include "desk_button.h"
#include "desk_label.h"
#include "desk_picture_file.h"
#include "dip_switch.h"
#include "knob.h"
#include "lcd_label.h"
#include "skin_bitmap.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>

using desk_file::DeskObject;
using desk_file::Kind;

namespace {

// The Tags each kind enters in the registry; DIP switches at any valid index (the registry
// refuses Tags outside 0..9999), pictures and LCD labels never.
bool entersRegistry(Kind kind, int tag) {
    switch (kind) {
    case Kind::Button:
    case Kind::SkinButton:
        return tag >= 1001 && tag <= 1999;
    case Kind::Knob:
    case Kind::SkinKnob:
        return tag >= 1 && tag <= 999;
    case Kind::Label:
        return tag >= 2001 && tag <= 2999;
    case Kind::DipSwitch:
        return true;
    default:
        return false;
    }
}

// What the control plays ("Pot 5", "Button 6"), after the caption it shows, if it shows one:
// a screen reader names what the user sees first ("Pad Six, button 6").
QString accessibleNameFor(const DeskObject& object) {
    QString role;
    if (desk_tags::isPotTag(object.tag))
        role = QStringLiteral("Pot %1").arg(object.tag);
    else if (desk_tags::isButtonTag(object.tag))
        role = QStringLiteral("Button %1").arg(object.tag - desk_tags::kButtonBase);
    const bool showsCaption = object.kind == Kind::Button && !object.caption.isEmpty();
    if (role.isEmpty()) return showsCaption ? object.caption : desk_file::typeWord(object.kind);
    return showsCaption ? object.caption + QStringLiteral(", ") + role.toLower() : role;
}

// Labels are read by their text and LCDs by their rows, whatever they show later; every other
// control is named once.
bool namedByItsText(Kind kind) {
    return kind == Kind::Label || kind == Kind::LCDLabel;
}

void setHint(QWidget* control, const QString& hint) {
    control->setToolTip(hint);
    control->setAccessibleDescription(hint);
}

QSize bounded(QSize size, QSize screen) {
    return size.boundedTo(screen);
}

void place(QWidget* control, const DeskObject& object, QSize screen) {
    if (object.size) control->resize(bounded(*object.size, screen));
    control->move(object.topLeft);
}

void applyLcd(TLCDLabel& lcd, const desk_file::LcdSettings& s) {
    lcd.setDotMatrix(Lcd::Hitachi);
    lcd.setPixelWidth(s.pixelWidth);
    lcd.setPixelHeight(s.pixelHeight);
    lcd.setPixelSize(Lcd::PixelSize(s.pixelSize));
    lcd.setPixelOn(QColor::fromRgb(desk_file::rgbOf(s.pixelOn)));
    lcd.setPixelOff(QColor::fromRgb(desk_file::rgbOf(s.pixelOff)));
    lcd.setBackGround(QColor::fromRgb(desk_file::rgbOf(s.backGround)));
    lcd.setBorderColor(QColor::fromRgb(desk_file::rgbOf(s.borderColor)));
    lcd.setBorderSpace(s.borderSpace);
    lcd.setCharSpacing(s.charSpacing);
}

} // namespace

QColor deskColour(desk_file::WindowsColour colour, const QPalette& palette) {
    if (!desk_file::isSystemColour(colour)) return QColor::fromRgb(desk_file::rgbOf(colour));
    switch (colour & 0xFF) {
    case 2: // active caption
    case 13:
        return palette.color(QPalette::Highlight);
    case 5:
        return palette.color(QPalette::Base);
    case 8:
    case 18:
        return palette.color(QPalette::WindowText);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 16:
        return palette.color(QPalette::Mid);
    case 20:
    case 22:
        return palette.color(QPalette::Light);
    case 21:
        return palette.color(QPalette::Dark);
    default:
        return palette.color(QPalette::Button); // 15, button face, and the rest
    }
}

// ---------------------------------------------------------------- the window and its picture

TCustomDesk::TCustomDesk(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("CustomDesk"));
}

void TCustomDesk::closeEvent(QCloseEvent* event) {
    hide();
    event->ignore();
    emit FaderDeskFormClose();
}

void DeskPicture::setPicture(const QImage& picture) {
    m_picture = picture;
    update();
}

void DeskPicture::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) return;
    QPainter(this).drawImage(0, 0, m_picture);
}

// ---------------------------------------------------------------- building

CustomDeskBuilder::CustomDeskBuilder(Log log) : m_log(std::move(log)) {}

void CustomDeskBuilder::log(const QString& line) const {
    if (m_log) m_log(line);
}

std::unique_ptr<TCustomDesk> CustomDeskBuilder::build(const desk_file::DeskDescription& desk,
                                                      ControlRegistry& registry, SkinLists skins,
                                                      QSize screen) {
    m_screen = screen;
    for (const QString& problem : desk.problems)
        log(problem);
    auto window = std::make_unique<TCustomDesk>();
    const desk_file::Window& form = desk.window;
    window->move(form.geometry.topLeft());
    window->resize(bounded(form.geometry.size(), screen));
    window->setWindowTitle(form.caption);
    window->setAccessibleName(form.caption);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, deskColour(form.color, palette));
    window->setPalette(palette);
    window->setAutoFillBackground(true);

    registry.clear();
    for (const DeskObject& object : desk.objects) {
        if (object.kind == Kind::KnobSkin || object.kind == Kind::ButtonSkin) {
            appendSkin(object, object.kind == Kind::KnobSkin ? skins.knobs : skins.buttons);
            continue;
        }
        QWidget* control = buildControl(object, *window, skins);
        if (entersRegistry(object.kind, object.tag)) registry.enter(control);
        control->show();
        window->controls.push_back(control);
    }
    for (int tag = desk_tags::kFirstPot; tag <= desk_tags::kLastPot; ++tag)
        if (auto* knob = registry.as<TKnob>(tag))
            knob->SetPositionLabel(registry.as<QLabel>(tag + desk_tags::kValueLabelOffset));
    if (form.autoSize) {
        const QRect used = window->childrenRect();
        window->resize(bounded(QSize(used.right() + 1, used.bottom() + 1), screen));
    }
    return window;
}

QWidget* CustomDeskBuilder::buildControl(const DeskObject& object, TCustomDesk& window,
                                         SkinLists skins) {
    const QSize screen = m_screen;
    QWidget* control = nullptr;
    switch (object.kind) {
    case Kind::Button: {
        auto* button = new DeskButton(&window);
        setTag(button, object.tag);
        button->setText(object.caption);
        place(button, object, screen);
        control = button;
        break;
    }
    case Kind::SkinButton: {
        auto* button = new TVrAniButton(&window);
        setTag(button, object.tag);
        setHint(button, object.caption);
        place(button, object, screen);
        button->SetBitmapList(skins.buttons);
        button->SetColor(QColor::fromRgb(kSkinKeyColour));
        button->SetTransparent(object.transparent);
        button->SetAutoSize(true);
        button->SetInterval(object.interval);
        button->SetSwitchStyle(object.switchStyle);
        button->SetBitmapIndex(object.skinId);
        button->SetImageCount(object.skinImageCount);
        control = button;
        break;
    }
    case Kind::Knob: {
        auto* knob = new TKnob(&window);
        setTag(knob, object.tag);
        knob->SetCaption(object.caption);
        place(knob, object, screen);
        control = knob;
        break;
    }
    case Kind::SkinKnob: {
        auto* dial = new TVrBitmapDial(&window);
        setTag(dial, object.tag);
        setHint(dial, object.caption);
        place(dial, object, screen);
        dial->SetMaxValue(127);
        dial->SetBitmapList(skins.knobs);
        dial->SetColor(QColor::fromRgb(kSkinKeyColour));
        dial->SetTransparent(object.transparent);
        dial->SetHideCursor(false);
        dial->SetAutoSize(true);
        dial->SetStyle(TVrBitmapDial::dsTopBottomMove);
        dial->SetBitmapIndex(object.skinId);
        dial->SetImageCount(object.skinImageCount);
        control = dial;
        break;
    }
    case Kind::Label: {
        auto* label = new TDeskLabel(&window);
        setTag(label, object.tag);
        place(label, object, screen);
        label->SetCaption(object.caption);
        control = label;
        break;
    }
    case Kind::LCDLabel: {
        auto* lcd = new TLCDLabel(&window);
        lcd->setRefusalDialogsEnabled(false);
        QObject::connect(lcd, &TLCDLabel::valueRefused, lcd, [this, object](const QString& why) {
            log(QStringLiteral("Desk section [%1]: %2").arg(object.section, why));
        });
        setTag(lcd, object.tag);
        lcd->setCaption(object.caption);
        // The font and dots first: the size asked for is then filled with whole cells of them.
        applyLcd(*lcd, object.lcd);
        place(lcd, object, screen);
        window.lastLcd = lcd;
        control = lcd;
        break;
    }
    case Kind::Image: {
        auto* picture = new DeskPicture(&window);
        setTag(picture, object.tag);
        place(picture, object, screen);
        if (QFileInfo::exists(object.fileName)) {
            QString problem;
            const QImage image = readDeskPicture(object.fileName, &problem);
            if (image.isNull()) log(problem);
            picture->setPicture(image);
            if (!image.isNull()) picture->resize(bounded(image.size(), screen));
        }
        control = picture;
        break;
    }
    case Kind::DipSwitch: {
        auto* dip = new TDipSwitch(&window);
        setTag(dip, object.tag);
        place(dip, object, screen);
        dip->SetTransparent(object.transparent);
        dip->SetBitCount(int(object.onLabels.size()));
        for (int bit = 0; bit < object.onLabels.size(); ++bit) {
            dip->SetOnBitLabel(bit, object.onLabels[bit]);
            dip->SetOffBitLabel(bit, object.offLabels[bit]);
        }
        control = dip;
        break;
    }
    case Kind::ButtonSkin:
    case Kind::KnobSkin:
        break;
    }
    if (!namedByItsText(object.kind)) control->setAccessibleName(accessibleNameFor(object));
    return control;
}

void CustomDeskBuilder::appendSkin(const DeskObject& object, TVrBitmapList* list) {
    if (!list || !QFileInfo::exists(object.fileName)) return;
    list->Add(skinImage(object.fileName));
}

QImage CustomDeskBuilder::skinImage(const QString& path) {
    const QFileInfo info(path);
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    auto cached = m_skins.constFind(info.absoluteFilePath());
    if (cached != m_skins.cend() && cached->size == info.size() && cached->modified == modified)
        return cached->image;
    QString problem;
    const QImage image = readSkinBitmap(path, &problem);
    if (image.isNull()) log(problem); // still appended: later SkinIDs keep their meaning
    m_skins.insert(info.absoluteFilePath(), {image, info.size(), modified});
    return image;
}
