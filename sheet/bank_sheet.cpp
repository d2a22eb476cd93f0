#include "bank_sheet.h"

#include "desk_layout.h"
#include "event_words.h"
#include "record_diff.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace bank_sheet {
namespace {

// Sizes in points. The smallest text, 5 pt, still reads on paper.
constexpr double kMargin = 18;
constexpr double kHeaderHeight = 60;
constexpr double kHeadingHeight = 16;
constexpr double kPotRowHeight = 65;
constexpr double kButtonRowHeight = 50;
constexpr double kKnobDiameter = 24;
constexpr double kButtonSide = 18;
constexpr double kLcdWidth = 200;
constexpr double kLcdHeight = 54;
constexpr double kMinTextPoints = 5;
constexpr double kWrapPoints = 6;
constexpr double kTextPoints = 7;
constexpr double kLabelPoints = 8;
constexpr double kSmallPoints = 6;
constexpr int kColumns = desk_layout::KnobsPerRow;
constexpr int kPotRows = desk_layout::kPotCount / kColumns;
constexpr int kButtonCount = desk_layout::kButtonRows * kColumns;
constexpr int kLedRegisters = 8;
constexpr int kMaxValue = 127;
// The knob turns through three quarters of a circle, from lower left to lower right.
constexpr double kKnobStartDegrees = 225;
constexpr double kKnobSweepDegrees = 270;

const QColor kInk(0, 0, 0);
const QColor kGrey(95, 95, 95);
const QColor kRule(170, 170, 170);
const QColor kFace(236, 236, 236);
const QColor kLcdBack(0, 0, 128); // the desk's LCD: yellow dots on navy
const QColor kLcdText(255, 255, 0);

QFont textFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Nimbus Sans Narrow")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont lcdFont(double points) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Nimbus Mono PS")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    return font;
}

double columnWidth() {
    return (kPageSize.width() - 2 * kMargin) / kColumns;
}

// Draws `line` in `box`, made smaller down to kMinTextPoints when it is too wide, then elided.
void drawFitted(QPainter& painter, const QRectF& box, const QString& line, QFont font,
                Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignTop) {
    QFontMetricsF metrics(font, painter.device());
    while (metrics.horizontalAdvance(line) > box.width() && font.pointSizeF() > kMinTextPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        metrics = QFontMetricsF(font, painter.device());
    }
    painter.setFont(font);
    painter.drawText(box, alignment, metrics.elidedText(line, Qt::ElideRight, box.width()));
}

double knobAngle(int value) {
    return kKnobStartDegrees - kKnobSweepDegrees * value / kMaxValue;
}

// The knob: its range as an arc on the rim and its initial value as a dot.
void drawKnob(QPainter& painter, const QPointF& centre, int number, const PotEntry& pot,
              int initialValue) {
    const double r = kKnobDiameter / 2;
    const QRectF rim(centre.x() - r, centre.y() - r, kKnobDiameter, kKnobDiameter);
    painter.setPen(QPen(kRule, 0.6));
    painter.setBrush(kFace);
    painter.drawEllipse(rim);
    painter.setPen(QPen(kGrey, 2, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    const double from = knobAngle(std::min(pot.min, pot.max));
    const double to = knobAngle(std::max(pot.min, pot.max));
    painter.drawArc(rim.adjusted(1, 1, -1, -1), qRound(from * 16), qRound((to - from) * 16));
    const double angle = qDegreesToRadians(knobAngle(std::min(initialValue, kMaxValue)));
    const QPointF dot(centre.x() + (r - 4) * std::cos(angle),
                      centre.y() - (r - 4) * std::sin(angle));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawEllipse(dot, 1.6, 1.6);
    painter.setPen(kGrey);
    drawFitted(painter, rim, QString::number(number), textFont(kSmallPoints), Qt::AlignCenter);
}

// Draws the lines under a control, each in its own font, from `top` down. A line too wide even
// at kWrapPoints breaks before its channel ("Program change" over "ch 16").
void drawLines(QPainter& painter, double left, double top,
               const std::initializer_list<std::pair<QString, QFont>>& lines) {
    const double width = columnWidth() - 2;
    for (const auto& [line, font] : lines) {
        QFont smallest = font;
        smallest.setPointSizeF(std::min(font.pointSizeF(), kWrapPoints));
        const bool fits =
            QFontMetricsF(smallest, painter.device()).horizontalAdvance(line) <= width;
        const qsizetype channel = std::max(line.lastIndexOf(QLatin1String(" ch ")),
                                           line.lastIndexOf(QLatin1String(" id ")));
        const QStringList parts = fits || channel < 0
                                      ? QStringList{line}
                                      : QStringList{line.left(channel), line.mid(channel + 1)};
        const double height = QFontMetricsF(font, painter.device()).height();
        for (const QString& part : parts) {
            drawFitted(painter, QRectF(left + 1, top, width, height), part, font);
            top += height;
        }
    }
}

void drawPot(QPainter& painter, const Content& content, int index, const QPointF& cell) {
    const int n = index + 1;
    const PotEntry pot = content.record.pot(n);
    const double centreX = cell.x() + columnWidth() / 2;
    drawKnob(painter, {centreX, cell.y() + 3 + kKnobDiameter / 2}, n, pot,
             content.record.initialValue(n));
    painter.setPen(kInk);
    drawLines(painter, cell.x(), cell.y() + 5 + kKnobDiameter,
              {{shownText(content.record.potLabel(n)), textFont(kLabelPoints, true)},
               {shownText(eventWords(pot.status, pot.data)), textFont(kTextPoints)},
               {QStringLiteral("%1\u2013%2").arg(pot.min).arg(pot.max), textFont(kSmallPoints)}});
}

void drawButton(QPainter& painter, const Content& content, int index, const QPointF& cell) {
    const int n = index + 1;
    const ButtonEntry button = content.record.button(n);
    const QRectF face(cell.x() + (columnWidth() - kButtonSide) / 2, cell.y() + 3, kButtonSide,
                      kButtonSide);
    painter.setPen(QPen(kGrey, 0.6));
    painter.setBrush(kFace);
    painter.drawRoundedRect(face, 2.5, 2.5);
    painter.setPen(kInk);
    drawFitted(painter, face, QString::number(n), textFont(kTextPoints), Qt::AlignCenter);
    drawLines(painter, cell.x(), face.bottom() + 2,
              {{shownText(eventWords(button.status, button.data1)), textFont(kTextPoints)},
               {shownText(buttonModeName(button.mode)), textFont(kSmallPoints)}});
}

// A section title with a rule across the page; returns where the section's content starts.
double drawHeading(QPainter& painter, double top, const QString& title) {
    painter.setPen(kInk);
    const QFont font = textFont(kLabelPoints, true);
    painter.setFont(font);
    const QRectF box(kMargin, top, kPageSize.width() - 2 * kMargin, kHeadingHeight - 4);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, title);
    const double x = kMargin + QFontMetricsF(font, painter.device()).horizontalAdvance(title) + 6;
    painter.setPen(QPen(kRule, 0.5));
    painter.drawLine(QPointF(x, box.bottom() - 3), QPointF(box.right(), box.bottom() - 3));
    return top + kHeadingHeight;
}

void drawLcd(QPainter& painter, const Content& content) {
    const QRectF lcd((kPageSize.width() - kLcdWidth) / 2, kMargin, kLcdWidth, kLcdHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLcdBack);
    painter.drawRoundedRect(lcd, 4, 4);
    painter.setPen(kLcdText);
    const QString number =
        content.bankNumber > 0 ? QStringLiteral("Bank %1").arg(content.bankNumber) : QString();
    const QRectF lines = lcd.adjusted(10, 8, -10, -8);
    drawFitted(painter, lines, shownText(content.record.bankName()), lcdFont(13),
               Qt::AlignLeft | Qt::AlignTop);
    drawFitted(painter, lines, number, lcdFont(13), Qt::AlignLeft | Qt::AlignBottom);
}

void drawLegend(QPainter& painter) {
    painter.setPen(kGrey);
    drawFitted(
        painter,
        QRectF(kMargin, kPageSize.height() - kMargin - 10, kPageSize.width() - 2 * kMargin, 10),
        QStringLiteral("The ring of a knob marks its range, the dot its initial value."),
        textFont(kSmallPoints), Qt::AlignLeft | Qt::AlignBottom);
}

void drawTitle(QPainter& painter, const Content& content) {
    const double width = (kPageSize.width() - kLcdWidth) / 2 - kMargin - 12;
    painter.setPen(kGrey);
    drawFitted(painter, QRectF(kMargin, kMargin, width, 12), QStringLiteral("Pultron64 bank sheet"),
               textFont(8), Qt::AlignLeft | Qt::AlignTop);
    painter.setPen(kInk);
    drawFitted(painter, QRectF(kMargin, kMargin + 14, width, 26),
               shownText(content.record.bankName()), textFont(18, true),
               Qt::AlignLeft | Qt::AlignTop);
    if (content.bankNumber > 0)
        drawFitted(painter, QRectF(kMargin, kMargin + 40, width, 16),
                   QStringLiteral("Bank %1").arg(content.bankNumber), textFont(11),
                   Qt::AlignLeft | Qt::AlignTop);
}

// The eight LED output shift registers and what each shows, in two columns.
void drawLedMap(QPainter& painter, const Content& content) {
    const double left = (kPageSize.width() + kLcdWidth) / 2 + 16;
    const double width = kPageSize.width() - kMargin - left;
    painter.setPen(kInk);
    drawFitted(painter, QRectF(left, kMargin, width, 12),
               QStringLiteral("LED map (DOUT shift registers)"), textFont(kLabelPoints, true),
               Qt::AlignLeft | Qt::AlignTop);
    const QFont font = textFont(kTextPoints);
    const double lineHeight = QFontMetricsF(font, painter.device()).height() + 1;
    constexpr int kRows = kLedRegisters / 2;
    for (int k = 1; k <= kLedRegisters; ++k) {
        const QString line =
            QStringLiteral("SR %1: ").arg(k) + shownText(ledMapName(content.record.sroutMap(k)));
        const QRectF box(left + (k - 1) / kRows * width / 2,
                         kMargin + 14 + (k - 1) % kRows * lineHeight, width / 2 - 4, lineHeight);
        drawFitted(painter, box, line, font, Qt::AlignLeft | Qt::AlignTop);
    }
}

} // namespace

QString shownText(const std::string& bankText) {
    QString shown = QString::fromLatin1(bankText.data(), qsizetype(bankText.size()));
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() >= 0x7F) c = QChar::ReplacementCharacter;
    return shown;
}

void paint(QPainter& painter, const Content& content) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), kPageSize), Qt::white);
    drawTitle(painter, content);
    drawLcd(painter, content);
    drawLedMap(painter, content);
    drawLegend(painter);

    double top = drawHeading(painter, kMargin + kHeaderHeight, QStringLiteral("Pots"));
    for (int i = 0; i < desk_layout::kPotCount; ++i)
        drawPot(painter, content, i,
                {kMargin + i % kColumns * columnWidth(), top + i / kColumns * kPotRowHeight});
    top = drawHeading(painter, top + kPotRows * kPotRowHeight, QStringLiteral("Buttons"));
    for (int i = 0; i < kButtonCount; ++i)
        drawButton(painter, content, i,
                   {kMargin + i % kColumns * columnWidth(), top + i / kColumns * kButtonRowHeight});
    painter.restore();
}

} // namespace bank_sheet
