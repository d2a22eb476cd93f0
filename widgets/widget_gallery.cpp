#include "widget_gallery.h"

#include "built_in_skins.h"
#include "dip_switch.h"
#include "knob.h"
#include "lcd_font_sheet.h"
#include "lcd_label.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"
#include "vr_bitmap_list.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

namespace {

constexpr int kMargin = 12;
constexpr int kCellWidth = 110;
const QColor kPaper(0xF4, 0xF4, 0xF4);
const QColor kDeskColour(0x2E, 0x4A, 0x62); // a coloured parent for the transparent controls

// A row of controls, each above a caption, laid out on one host widget and grabbed.
class Row {
public:
    Row() { m_host.setAutoFillBackground(true); }

    template <typename W> W* add(W* control, const QString& caption, int cellWidth = kCellWidth) {
        control->setParent(&m_host);
        control->move(m_x + (cellWidth - control->width()) / 2, kMargin);
        auto* label = new QLabel(caption, &m_host);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        label->setGeometry(m_x, 0, cellWidth, 36);
        m_captions.push_back({label, control});
        m_x += cellWidth;
        return control;
    }

    QWidget& host() { return m_host; }

    QImage grab() {
        int controlsBottom = 0;
        for (const auto& [label, control] : m_captions)
            controlsBottom = std::max(controlsBottom, control->geometry().bottom());
        for (const auto& [label, control] : m_captions)
            label->move(label->x(), controlsBottom + 6);
        m_host.resize(m_x, controlsBottom + 6 + 36);
        m_host.show();
        QApplication::processEvents();
        return m_host.grab().toImage();
    }

private:
    QWidget m_host;
    int m_x = 0;
    std::vector<std::pair<QLabel*, QWidget*>> m_captions;
};

TKnob* knob(int min, int max, int position, int side = 40) {
    auto* k = new TKnob;
    k->resize(side, side);
    k->SetParams(position, min, max);
    return k;
}

QImage knobSection() {
    Row row;
    row.add(knob(0, 127, 0), QStringLiteral("0 of 0..127\n(240\u00B0)"));
    row.add(knob(0, 127, 64), QStringLiteral("64 of 0..127\n(89\u00B0)"));
    row.add(knob(0, 127, 127), QStringLiteral("127 of 0..127\n(-60\u00B0)"));
    row.add(knob(127, 0, 100), QStringLiteral("inverted 127..0\nat 100"));
    row.add(knob(5, 5, 5), QStringLiteral("Min = Max"));
    TKnob* disabled = row.add(knob(0, 127, 64), QStringLiteral("disabled"));
    disabled->setEnabled(false);
    auto* red = row.add(knob(0, 127, 96, 60), QStringLiteral("60 x 60, red\nline, at 96"));
    red->SetLineColor(Qt::red);
    TKnob* focused = row.add(knob(0, 127, 32), QStringLiteral("focused, at 32"));
    row.host().show();
    row.host().activateWindow();
    focused->setFocus();
    return row.grab();
}

TDipSwitch* dipSwitch(int bits, std::uint32_t value, bool withLabels) {
    auto* dip = new TDipSwitch;
    dip->resize(100, dip->height());
    dip->SetBitCount(bits);
    for (int i = 0; withLabels && i < bits; ++i) {
        dip->SetOnBitLabel(i, QStringLiteral("[X] bit %1").arg(i));
        dip->SetOffBitLabel(i, QStringLiteral("[ ] bit %1").arg(i));
    }
    dip->SetValue(value);
    return dip;
}

QImage dipSwitchSection() {
    Row row;
    row.add(dipSwitch(8, 0xA5, true), QStringLiteral("8 bits, value 0xA5"), 130);
    row.add(dipSwitch(8, 257, true), QStringLiteral("value 257: bit 8\nset, not shown"), 130);
    row.add(dipSwitch(4, 0xF, false), QStringLiteral("empty labels"), 130);
    auto* clear =
        row.add(dipSwitch(4, 0x5, true), QStringLiteral("transparent on\na coloured parent"), 130);
    clear->SetTransparent(true);
    QPalette desk = row.host().palette();
    desk.setColor(QPalette::Window, kDeskColour.lighter(250));
    row.host().setPalette(desk);
    return row.grab();
}

TVrBitmapDial* dial(TVrBitmapList& list, int position, bool transparent) {
    auto* d = new TVrBitmapDial;
    d->SetMaxValue(127);
    d->SetBitmapList(&list);
    d->SetColor(QColor::fromRgb(kSkinKeyColour));
    d->SetTransparent(transparent);
    d->SetAutoSize(true);
    d->SetImageCount(kBuiltInKnobFrames);
    d->SetBitmapIndex(0);
    d->SetPosition(position);
    return d;
}

QImage dialSection(TVrBitmapList& list) {
    Row row;
    for (int position : {0, 32, 64, 96, 127})
        row.add(dial(list, position, true), QStringLiteral("at %1 of 0..127").arg(position));
    row.add(dial(list, 64, false), QStringLiteral("opaque: key\ncolour shows"));
    auto* missing = row.add(new TVrBitmapDial, QStringLiteral("no skin:\nfilled with Color"));
    missing->SetColor(QColor(0x70, 0x90, 0xB0));
    return row.grab();
}

QImage buttonSection(TVrBitmapList& list) {
    Row row;
    auto button = [&](bool latching, bool down, const QString& caption) {
        auto* b = new TVrAniButton;
        b->SetBitmapList(&list);
        b->SetColor(QColor::fromRgb(kSkinKeyColour));
        b->SetTransparent(true);
        b->SetAutoSize(true);
        b->SetImageCount(kBuiltInButtonFrames);
        b->SetBitmapIndex(0);
        b->SetSwitchStyle(latching);
        b->SetDown(down);
        row.add(b, caption);
    };
    button(false, false, QStringLiteral("momentary, up"));
    button(true, true, QStringLiteral("latching, down"));
    auto* missing = row.add(new TVrAniButton, QStringLiteral("no skin:\nfilled with Color"));
    missing->SetColor(QColor(0x70, 0x90, 0xB0));
    return row.grab();
}

TLCDLabel* lcd(Lcd::DotMatrix font, int lines, int chars, const QString& text) {
    auto* display = new TLCDLabel;
    display->setDotMatrix(font);
    display->setTextLines(lines);
    display->setNoOfChars(chars);
    display->setCaption(text);
    return display;
}

QImage lcdSection() {
    Row row;
    auto add = [&row](TLCDLabel* display, const QString& caption) {
        return row.add(display, caption, std::max(kCellWidth, display->width() + kMargin));
    };
    auto* greeting = add(lcd(Lcd::Hitachi, 4, 16,
                             QStringLiteral("vPultron64      Virtual Box     Knob ID :  3    "
                                            "Value   : 64  ")),
                         QStringLiteral("Hitachi, 4 x 16, backlit"));
    greeting->setBackGround(QColor(0x70, 0xB0, 0x20));
    greeting->setPixelOff(QColor(0x68, 0xA4, 0x1E));
    greeting->setPixelOn(QColor(0x10, 0x20, 0x08));
    QString bars;
    for (int code : {1, 3, 5, 7, 9, 11, 13, 15, 241, 243, 245, 247, 249, 250, 0xFF, 0xFF})
        bars += QChar(code);
    auto* round =
        add(lcd(Lcd::Hitachi, 2, 16, bars + bars), QStringLiteral("bar glyphs, round dots"));
    round->setPixelShape(Lcd::spRound);
    auto* shaped = add(lcd(Lcd::mat5x7, 2, 12, QStringLiteral("mat5x7 shapedlowered bord")),
                       QStringLiteral("shaped dots, lowered border"));
    shaped->setPixelShape(Lcd::spShaped);
    shaped->setBorderStyle(Lcd::frLowered);
    auto* disabled = add(lcd(Lcd::dos5x7, 2, 12, QStringLiteral("disabled")),
                         QStringLiteral("disabled: background and border only"));
    disabled->setEnabled(false);
    return row.grab();
}

QImage stripSection(const QImage& strip) {
    return strip.convertToFormat(QImage::Format_RGB32);
}

struct GallerySection {
    QString title;
    QImage image;
};

QImage compose(const std::vector<GallerySection>& sections) {
    const QFont titleFont(QStringLiteral("DejaVu Sans"), 11, QFont::Bold);
    const int titleHeight = QFontMetrics(titleFont).height() + 6;
    int width = 0;
    int height = kMargin;
    for (const auto& section : sections) {
        width = std::max(width, section.image.width());
        height += titleHeight + section.image.height() + kMargin;
    }
    QImage sheet(width + 2 * kMargin, height, QImage::Format_RGB32);
    sheet.fill(kPaper);
    QPainter painter(&sheet);
    painter.setFont(titleFont);
    int y = kMargin;
    for (const auto& section : sections) {
        painter.setPen(Qt::black);
        painter.drawText(QRect(kMargin, y, width, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         section.title);
        y += titleHeight;
        painter.drawImage(kMargin, y, section.image);
        y += section.image.height() + kMargin;
    }
    return sheet;
}

} // namespace

QImage renderWidgetGallery() {
    TVrBitmapList knobSkins;
    knobSkins.Add(builtInKnobSkin());
    TVrBitmapList buttonSkins;
    buttonSkins.Add(builtInButtonSkin());

    std::vector<GallerySection> sections{
        {QStringLiteral("TKnob"), knobSection()},
        {QStringLiteral("TDipSwitch"), dipSwitchSection()},
        {QStringLiteral("TVrBitmapDial (built-in knob skin, magenta keyed out)"),
         dialSection(knobSkins)},
        {QStringLiteral("TVrAniButton (built-in button skin)"), buttonSection(buttonSkins)},
        {QStringLiteral("Built-in knob skin: 32 frames of 48 x 44"),
         stripSection(builtInKnobSkin())},
        {QStringLiteral("Built-in button skin: 8 frames of 36 x 36"),
         stripSection(builtInButtonSkin())},
        {QStringLiteral("TLCDLabel"), lcdSection()},
        {QStringLiteral("TLCDLabel fonts: every glyph of every built-in font"),
         renderLcdFontSheet()},
    };
    return compose(sections);
}
