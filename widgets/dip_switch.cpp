#include "dip_switch.h"

#include "key_colour.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

// A new picture control's size.
constexpr int kDefaultSide = 105;
// The surface only ever needs room for 32 lines; a larger widget does not get a larger surface,
// so a huge size cannot exhaust memory.
constexpr int kMaxSurfaceSide = 4096;
const QColor kBackground = Qt::white;
// The slide switch: a slot as wide as two levers, green when on, its lever a light square.
constexpr int kSwitchWidth = 18;
constexpr int kSwitchHeight = 10;
constexpr int kSwitchMargin = 4; // from the surface's right edge
const QColor kSlotOn(0x2E, 0x8B, 0x3C);
const QColor kSlotOff(0x50, 0x50, 0x58);
const QColor kLever(0xF4, 0xF4, 0xF0);
const QColor kLeverEdge(0x20, 0x20, 0x20);

// The drawing font, shrunk until a line of it fits the line height: lines never run into each
// other, whatever size the platform's default font has.
QFont fittedFont(QFont font) {
    font.setFamily(QStringLiteral("Arial"));
    int pixels = QFontInfo(font).pixelSize();
    font.setPixelSize(pixels);
    while (pixels > 6 && QFontMetrics(font).height() > TDipSwitch::kLineHeight)
        font.setPixelSize(--pixels);
    return font;
}

bool isBit(int bit) {
    return bit >= 0 && bit < TDipSwitch::kMaxBits;
}

} // namespace

TDipSwitch::TDipSwitch(QWidget* parent) : QWidget(parent) {
    resize(kDefaultSide, kDefaultSide);
}

void TDipSwitch::SetValue(std::uint32_t value) {
    if (value == m_value) return;
    m_value = value;
    DrawAgain();
}

void TDipSwitch::SetBitCount(int count) {
    if (count == m_bitCount) return;
    m_bitCount = count;
    const long long height = static_cast<long long>(count) * kLineHeight + 30;
    resize(width(), static_cast<int>(std::clamp<long long>(height, 0, QWIDGETSIZE_MAX)));
    DrawAgain();
}

bool TDipSwitch::GetBitSwitch(int bit) const {
    return isBit(bit) && (m_value & (std::uint32_t{1} << bit)) != 0;
}

void TDipSwitch::SetBitSwitch(int bit, bool on) {
    if (!isBit(bit)) return;
    const std::uint32_t mask = std::uint32_t{1} << bit;
    SetValue(on ? m_value | mask : m_value & ~mask);
    DrawAgain();
}

QString TDipSwitch::GetOnBitLabel(int bit) const {
    return isBit(bit) ? m_onLabels[bit] : QStringLiteral("Is an Array!");
}

QString TDipSwitch::GetOffBitLabel(int bit) const {
    return isBit(bit) ? m_offLabels[bit] : QStringLiteral("Is an Array!");
}

bool TDipSwitch::labelWritable(int bit) const {
    return isBit(bit) && bit < m_bitCount;
}

void TDipSwitch::setLabel(std::array<QString, kMaxBits>& labels, int bit, const QString& text) {
    if (!labelWritable(bit)) return;
    if (labels[bit] != text) labels[bit] = text;
    DrawAgain();
}

void TDipSwitch::SetOnBitLabel(int bit, const QString& text) {
    setLabel(m_onLabels, bit, text);
}

void TDipSwitch::SetOffBitLabel(int bit, const QString& text) {
    setLabel(m_offLabels, bit, text);
}

void TDipSwitch::SetTransparent(bool transparent) {
    if (transparent == m_transparent) return;
    m_transparent = transparent;
    if (!m_surface.isNull()) updateShown();
}

void TDipSwitch::DrawAgain() {
    if (m_surface.isNull()) {
        const QSize side(std::min(width(), kMaxSurfaceSide), std::min(height(), kMaxSurfaceSide));
        if (side.isEmpty()) return;
        m_surface = QImage(side, QImage::Format_ARGB32_Premultiplied);
    }
    m_surface.fill(kBackground);
    QPainter painter(&m_surface);
    painter.setFont(fittedFont(font()));
    const int lines = std::clamp(m_bitCount, 0, kMaxBits);
    for (int i = 0; i < lines; ++i) {
        const QString& label = GetBitSwitch(i) ? m_onLabels[i] : m_offLabels[i];
        const int textRight = switchRect(i, m_surface.width()).left() - 2;
        const QRect line(kTextLeft, kFirstLineTop + kLineHeight * i, textRight - kTextLeft,
                         kLineHeight);
        painter.setPen(Qt::black);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         label + QLatin1Char(' '));
        drawSwitch(painter, i, GetBitSwitch(i));
    }
    painter.end();
    updateShown();
}

QRect TDipSwitch::switchRect(int line, int surfaceWidth) {
    return {surfaceWidth - kSwitchMargin - kSwitchWidth, kFirstLineTop + kLineHeight * line + 1,
            kSwitchWidth, kSwitchHeight};
}

QRect TDipSwitch::leverRect(int line, int surfaceWidth, bool on) {
    const QRect slot = switchRect(line, surfaceWidth);
    const int side = kSwitchHeight - 2;
    return {on ? slot.right() - side : slot.left() + 1, slot.top() + 1, side, side};
}

void TDipSwitch::drawSwitch(QPainter& painter, int line, bool on) const {
    const QRect slot = switchRect(line, m_surface.width());
    if (slot.left() < kTextLeft) return; // too narrow for a switch: the text alone
    painter.fillRect(slot, on ? kSlotOn : kSlotOff);
    const QRect lever = leverRect(line, m_surface.width(), on);
    painter.fillRect(lever, kLever);
    painter.setPen(kLeverEdge);
    painter.drawRect(lever.adjusted(0, 0, -1, -1));
}

void TDipSwitch::MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int y) {
    const int row = rowAt(y);
    if (row >= 0 && row < m_bitCount) SetBitSwitch(row, !GetBitSwitch(row));
    DrawAgain();
    emit OnTrigger(this);
}

void TDipSwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_clickPending = true;
    const QPoint pos = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
}

void TDipSwitch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const bool click = m_clickPending && rect().contains(event->position().toPoint());
    m_clickPending = false;
    if (click) emit OnClick();
}

void TDipSwitch::paintEvent(QPaintEvent*) {
    if (m_surface.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_shown);
}

void TDipSwitch::updateShown() {
    m_shown = m_transparent ? keyedOut(m_surface, kBackground.rgb()) : m_surface;
    update();
}
