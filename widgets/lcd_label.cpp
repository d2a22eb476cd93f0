#include "lcd_label.h"

#include "click_keys.h"

#include "accessible_controls.h"

#include <QAccessible>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QtDebug>

#include <algorithm>
#include <cstring>
#include <utility>

TLCDLabel::TLCDLabel(QWidget* parent) : QWidget(parent) {
    installAccessibleControls();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(tr("Dot-matrix display"));
    m_halfOnColour = QColor(m_pixelOn.red() >> 1, m_pixelOn.green() >> 1, m_pixelOn.blue() >> 1,
                            m_pixelOn.alpha());
    applyExactSize();
}

// ---------------------------------------------------------------- text

void TLCDLabel::setCaption(const QString& text) {
    const QString buffer = text.left(kMaxCaption);
    if (buffer == m_caption) return;
    m_caption = buffer;
    const qsizetype nul = m_caption.indexOf(QChar(0));
    m_textEnd = int(nul < 0 ? m_caption.size() : nul);
    m_textDirty = true;
    update();
    if (QAccessible::isActive()) m_rowsAnnouncer.changed();
}

// Screen readers announce the new rows; the whole text counts as replaced.
void TLCDLabel::announceRows() {
    const QString rows = shownRows();
    if (!QAccessible::isActive() || rows == m_announcedRows) return;
    QAccessibleTextUpdateEvent changed(this, 0, std::exchange(m_announcedRows, rows), rows);
    QAccessible::updateAccessibility(&changed);
}

QString TLCDLabel::shownRows() const {
    QStringList rows;
    const int width = std::max(1, m_noOfChars);
    for (int row = 0; row < m_textLines && row * width < m_textEnd; ++row)
        rows << m_caption.mid(row * width, std::min(width, m_textEnd - row * width));
    return rows.join(QLatin1Char('\n'));
}

int TLCDLabel::cellCode(int cell) const {
    const int code = cell >= 0 && cell < m_textEnd ? m_caption.at(cell).unicode() : 0;
    return m_font.limitCode(code);
}

// ---------------------------------------------------------------- font

void TLCDLabel::setDotMatrix(Lcd::DotMatrix font) {
    if (font == m_dotMatrix || font < Lcd::mat5x7 || font > Lcd::CustomFont) return;
    if (font != Lcd::CustomFont) {
        m_dotMatrix = font;
        useFont(LcdFont::builtIn(font));
    } else if (!m_filename.isEmpty()) {
        loadCustomFont(m_filename);
    }
}

void TLCDLabel::setFilename(const QString& fileName) {
    if (fileName == m_filename) return;
    // An empty name is stored but leaves the font in use alone.
    if (fileName.isEmpty() || loadCustomFont(fileName)) m_filename = fileName;
}

bool TLCDLabel::loadCustomFont(const QString& fileName) {
    QString reason;
    const std::optional<LcdFont> font = LcdFont::fromFile(fileName, &reason);
    if (!font) {
        qWarning().noquote() << "LCD font file" << fileName << "refused:" << reason;
        emit fontFileRefused(fileName, reason);
        return false;
    }
    m_dotMatrix = Lcd::CustomFont;
    useFont(*font);
    return true;
}

void TLCDLabel::useFont(const LcdFont& font) {
    m_font = font;
    m_metrics.glyphCols = font.glyphCols();
    m_metrics.glyphRows = font.glyphRows();
    changed();
}

// ---------------------------------------------------------------- dots and spacing

void TLCDLabel::setPixelSize(Lcd::PixelSize size) {
    if (size == m_pixelSize || size < Lcd::pix1x1 || size > Lcd::pixCustom) return;
    m_pixelSize = size;
    if (size != Lcd::pixCustom) {
        m_metrics.dotWidth = int(size) + 1;
        m_metrics.dotHeight = int(size) + 1;
    }
    changed();
}

void TLCDLabel::setPixelWidth(int width) {
    if (m_pixelSize != Lcd::pixCustom) return;
    if (width <= 0) return refuse(QStringLiteral("Display pixel width must be 1 or greater!"));
    setMetric(&LcdMetrics::dotWidth, width);
}

void TLCDLabel::setPixelHeight(int height) {
    if (m_pixelSize != Lcd::pixCustom) return;
    if (height <= 0) return refuse(QStringLiteral("Display pixel height must be 1 or greate!"));
    setMetric(&LcdMetrics::dotHeight, height);
}

void TLCDLabel::setPixelShape(Lcd::PixelShape shape) {
    if (shape == m_pixelShape) return;
    m_pixelShape = shape;
    changed();
}

void TLCDLabel::setPixelSpacing(int spacing) {
    if (acceptNonNegative(spacing, "Pixel spacing can't be less than zero!"))
        setMetric(&LcdMetrics::pixelSpacing, spacing);
}

void TLCDLabel::setCharSpacing(int spacing) {
    if (acceptNonNegative(spacing, "Character spacing can't be less than zero!"))
        setMetric(&LcdMetrics::charSpacing, spacing);
}

void TLCDLabel::setLineSpacing(int spacing) {
    if (acceptNonNegative(spacing, "Line spacing can't be less than zero!"))
        setMetric(&LcdMetrics::lineSpacing, spacing);
}

void TLCDLabel::setBorderSpace(int space) {
    if (acceptNonNegative(space, "Border spacing can't be less than zero!"))
        setMetric(&LcdMetrics::borderSpace, space);
}

void TLCDLabel::setTextLines(int lines) {
    if (lines <= 0) return refuse(QStringLiteral("Display needs at least on line!"));
    if (lines == m_textLines) return;
    m_textLines = lines;
    changed();
}

void TLCDLabel::setNoOfChars(int chars) {
    if (chars <= 0) return refuse(QStringLiteral("Display needs at least one character!"));
    if (chars == m_noOfChars) return;
    m_noOfChars = chars;
    changed();
}

bool TLCDLabel::acceptNonNegative(int value, const char* message) {
    if (value >= 0) return true;
    refuse(QString::fromLatin1(message));
    return false;
}

void TLCDLabel::setMetric(int LcdMetrics::*field, int value) {
    if (m_metrics.*field == value) return;
    m_metrics.*field = value;
    changed();
}

void TLCDLabel::refuse(const QString& message) {
    emit valueRefused(message);
    if (m_refusalDialogs) QMessageBox::critical(this, tr("Error"), message, QMessageBox::Ok);
}

// ---------------------------------------------------------------- colours and border

void TLCDLabel::setBackGround(const QColor& colour) {
    if (colour == m_backGround) return;
    m_backGround = colour;
    changed();
}

void TLCDLabel::setBorderStyle(Lcd::BorderStyle style) {
    if (style == m_borderStyle) return;
    m_borderStyle = style;
    changed();
}

void TLCDLabel::setBorderColor(const QColor& colour) {
    if (colour == m_borderColor) return;
    m_borderColor = colour;
    changed();
}

void TLCDLabel::setPixelOn(const QColor& colour) {
    if (colour == m_pixelOn) return;
    m_pixelOn = colour;
    m_halfOnColour =
        QColor(colour.red() >> 1, colour.green() >> 1, colour.blue() >> 1, colour.alpha());
    changed();
}

void TLCDLabel::setPixelOff(const QColor& colour) {
    if (colour == m_pixelOff) return;
    m_pixelOff = colour;
    changed();
}

void TLCDLabel::setHint(const QString& hint) {
    m_hint = hint;
    setToolTip(m_showHint ? m_hint : QString());
}

void TLCDLabel::setShowHint(bool show) {
    m_showHint = show;
    setToolTip(m_showHint ? m_hint : QString());
}

// ---------------------------------------------------------------- size

QSize TLCDLabel::sizeHint() const {
    return m_metrics.controlSize(m_textLines, m_noOfChars);
}

void TLCDLabel::changed() {
    m_frameDirty = true;
    applyExactSize();
    update();
}

// The display always takes the size of whole cells; its owner's size changes go through
// resizeEvent, which first derives the rows and characters that fit.
void TLCDLabel::applyExactSize() {
    const QSize exact = m_metrics.controlSize(m_textLines, m_noOfChars);
    if (exact != m_lastSize) {
        m_lastSize = exact;
        updateGeometry();
    }
    if (size() != exact) resize(exact);
}

void TLCDLabel::resizeEvent(QResizeEvent* event) {
    if (event->size() == m_lastSize) return;
    m_noOfChars = m_metrics.charsFitting(event->size().width());
    m_textLines = m_metrics.linesFitting(event->size().height());
    m_frameDirty = true;
    applyExactSize();
}

// ---------------------------------------------------------------- painting

void TLCDLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) {
        m_frameDirty = true;
        update();
    }
    QWidget::changeEvent(event);
}

void TLCDLabel::paintEvent(QPaintEvent*) {
    if (m_frameDirty)
        composeFrame();
    else if (m_textDirty && !m_frame.isNull() && isEnabled())
        drawText();
    m_textDirty = false;
    QPainter painter(this);
    if (m_frame.isNull())
        painter.fillRect(rect(), m_backGround);
    else
        painter.drawImage(0, 0, m_frame);
}

// Background, border and text. Cells cover their whole area, so a new caption only needs
// drawText over the previous frame.
void TLCDLabel::composeFrame() {
    m_frameDirty = false;
    const QSize size = m_metrics.controlSize(m_textLines, m_noOfChars);
    // A display too large for an image is drawn as plain background (sizes at the limit were cut).
    if (size.width() >= LcdMetrics::kMaxExtent || size.height() >= LcdMetrics::kMaxExtent ||
        qint64(size.width()) * size.height() > LcdGlyphCache::kMaxImagePixels) {
        m_frame = QImage();
        return;
    }
    if (m_frame.size() != size) m_frame = QImage(size, QImage::Format_RGB32);
    if (m_frame.isNull()) return;
    m_frame.fill(m_backGround);
    drawBorder();
    if (isEnabled()) drawText();
}

namespace {

QRgb* pixelRow(QImage& image, int y) {
    return reinterpret_cast<QRgb*>(image.bits() + y * image.bytesPerLine());
}

void horizontalLine(QImage& image, int y, int x0, QRgb colour) {
    QRgb* row = pixelRow(image, y);
    std::fill(row + x0, row + image.width(), colour);
}

void verticalLine(QImage& image, int x, int y0, QRgb colour) {
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    QRgb* pixel = pixelRow(image, y0) + x;
    for (int y = y0; y < image.height(); ++y, pixel += stride)
        *pixel = colour;
}

// Copies one short pixel row. Cell rows are a few pixels wide, where a library memcpy costs more
// than the copy itself; fixed 16-byte blocks, the last one overlapping, compile to plain moves.
void copyRow(QRgb* target, const QRgb* source, int count) {
    constexpr int kBlock = 16 / sizeof(QRgb);
    if (count < kBlock) {
        std::copy_n(source, count, target);
        return;
    }
    for (int i = 0; i + kBlock <= count; i += kBlock)
        std::memcpy(target + i, source + i, 16);
    std::memcpy(target + count - kBlock, source + count - kBlock, 16);
}

// Copies a glyph's cell into the frame, unless it would not fit.
void copyCell(QImage& frame, const QImage& glyph, QPoint at) {
    if (glyph.isNull() || at.x() + glyph.width() > frame.width() ||
        at.y() + glyph.height() > frame.height())
        return;
    const auto* source = reinterpret_cast<const QRgb*>(glyph.constBits());
    const qsizetype sourceStride = glyph.bytesPerLine() / qsizetype(sizeof(QRgb));
    const qsizetype targetStride = frame.bytesPerLine() / qsizetype(sizeof(QRgb));
    const int width = glyph.width();
    const int height = glyph.height();
    QRgb* target = pixelRow(frame, at.y()) + at.x();
    for (int y = 0; y < height; ++y, target += targetStride, source += sourceStride)
        copyRow(target, source, width);
}

} // namespace

void TLCDLabel::drawBorder() {
    QRgb topLeft = m_borderColor.rgb();
    QRgb bottomRight = topLeft;
    const QRgb highlight = palette().color(QPalette::Light).rgb();
    const QRgb shadow = palette().color(QPalette::Dark).rgb();
    switch (m_borderStyle) {
    case Lcd::frNone:
        return;
    case Lcd::frSingle:
        break;
    case Lcd::frRaised:
        topLeft = highlight;
        bottomRight = shadow;
        break;
    case Lcd::frLowered:
        topLeft = shadow;
        bottomRight = highlight;
        break;
    }
    const int right = m_frame.width() - 1;
    const int bottom = m_frame.height() - 1;
    horizontalLine(m_frame, bottom, 1, bottomRight);
    verticalLine(m_frame, right, 1, bottomRight);
    horizontalLine(m_frame, 0, 0, topLeft);
    verticalLine(m_frame, 0, 0, topLeft);
}

void TLCDLabel::drawText() {
    LcdDotStyle style;
    style.metrics = m_metrics;
    style.shape = m_pixelShape;
    style.singlePixel = m_pixelSize == Lcd::pix1x1;
    style.on = m_pixelOn.rgb();
    style.off = m_pixelOff.rgb();
    style.halfOn = m_halfOnColour.rgb();
    style.background = m_backGround.rgb();
    m_glyphs.use(m_font, style);

    int cell = 0;
    for (int line = 0; line < m_textLines; ++line) {
        QPoint at = m_metrics.cellOrigin(line, 0);
        for (int index = 0; index < m_noOfChars; ++index) {
            copyCell(m_frame, m_glyphs.glyph(cellCode(cell++)), at);
            at.rx() += m_metrics.cellWidth() + m_metrics.charSpacing;
        }
    }
}

// ---------------------------------------------------------------- mouse

void TLCDLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = true;
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

// A label given the focus is clicked with Enter or Space as well.
void TLCDLabel::keyPressEvent(QKeyEvent* event) {
    if (isClickKey(*event)) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TLCDLabel::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event->modifiers(), event->position().toPoint());
}

void TLCDLabel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const bool click = event->button() == Qt::LeftButton && m_pressed && rect().contains(pos);
    if (event->button() == Qt::LeftButton) m_pressed = false;
    emit mouseUp(event->button(), event->modifiers(), pos);
    if (click) emit clicked();
}

void TLCDLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}
