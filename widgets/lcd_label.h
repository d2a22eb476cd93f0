// TLCDLabel: a character LCD drawn dot by dot, with built-in and file-loaded dot-matrix fonts.
#pragma once

#include "lcd_font.h"
#include "lcd_glyph_cache.h"
#include "lcd_metrics.h"
#include "lcd_types.h"
#include "value_announcer.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

class TLCDLabel : public QWidget {
    Q_OBJECT
    // The desk's number for the control; declared, it is read without a search by name.
    Q_PROPERTY(int Tag MEMBER m_tag)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(Lcd::DotMatrix DotMatrix READ dotMatrix WRITE setDotMatrix)
    Q_PROPERTY(Lcd::PixelSize PixelSize READ pixelSize WRITE setPixelSize)
    Q_PROPERTY(int PixelWidth READ pixelWidth WRITE setPixelWidth)
    Q_PROPERTY(int PixelHeight READ pixelHeight WRITE setPixelHeight)
    Q_PROPERTY(int PixelSpacing READ pixelSpacing WRITE setPixelSpacing)
    Q_PROPERTY(Lcd::PixelShape PixelShape READ pixelShape WRITE setPixelShape)
    Q_PROPERTY(int CharSpacing READ charSpacing WRITE setCharSpacing)
    Q_PROPERTY(int LineSpacing READ lineSpacing WRITE setLineSpacing)
    Q_PROPERTY(int BorderSpace READ borderSpace WRITE setBorderSpace)
    Q_PROPERTY(int TextLines READ textLines WRITE setTextLines)
    Q_PROPERTY(int NoOfChars READ noOfChars WRITE setNoOfChars)
    Q_PROPERTY(QColor BackGround READ backGround WRITE setBackGround)
    Q_PROPERTY(Lcd::BorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(QColor PixelOn READ pixelOn WRITE setPixelOn)
    Q_PROPERTY(QColor PixelOff READ pixelOff WRITE setPixelOff)
    Q_PROPERTY(QString filename READ filename WRITE setFilename)
    Q_PROPERTY(QString Hint READ hint WRITE setHint)
    Q_PROPERTY(bool ShowHint READ showHint WRITE setShowHint)

public:
    // The text buffer holds this many characters; a longer caption is cut.
    static constexpr int kMaxCaption = 255;

    explicit TLCDLabel(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& text);

    Lcd::DotMatrix dotMatrix() const { return m_dotMatrix; }
    void setDotMatrix(Lcd::DotMatrix font);
    QString filename() const { return m_filename; }
    void setFilename(const QString& fileName);

    Lcd::PixelSize pixelSize() const { return m_pixelSize; }
    void setPixelSize(Lcd::PixelSize size);
    int pixelWidth() const { return m_metrics.dotWidth; }
    void setPixelWidth(int width);
    int pixelHeight() const { return m_metrics.dotHeight; }
    void setPixelHeight(int height);
    Lcd::PixelShape pixelShape() const { return m_pixelShape; }
    void setPixelShape(Lcd::PixelShape shape);

    int pixelSpacing() const { return m_metrics.pixelSpacing; }
    void setPixelSpacing(int spacing);
    int charSpacing() const { return m_metrics.charSpacing; }
    void setCharSpacing(int spacing);
    int lineSpacing() const { return m_metrics.lineSpacing; }
    void setLineSpacing(int spacing);
    int borderSpace() const { return m_metrics.borderSpace; }
    void setBorderSpace(int space);

    int textLines() const { return m_textLines; }
    void setTextLines(int lines);
    int noOfChars() const { return m_noOfChars; }
    void setNoOfChars(int chars);

    QColor backGround() const { return m_backGround; }
    void setBackGround(const QColor& colour);
    Lcd::BorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(Lcd::BorderStyle style);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor& colour);
    QColor pixelOn() const { return m_pixelOn; }
    void setPixelOn(const QColor& colour);
    QColor pixelOff() const { return m_pixelOff; }
    void setPixelOff(const QColor& colour);
    // PixelOn at half brightness, for the corners of shaped dots.
    QColor halfOnColour() const { return m_halfOnColour; }

    QString hint() const { return m_hint; }
    void setHint(const QString& hint);
    bool showHint() const { return m_showHint; }
    void setShowHint(bool show);

    // The font in use and the cell geometry derived from it.
    int glyphCols() const { return m_font.glyphCols(); }
    int glyphRows() const { return m_font.glyphRows(); }
    int firstCode() const { return m_font.firstCode(); }
    int lastCode() const { return m_font.lastCode(); }
    int cellWidth() const { return m_metrics.cellWidth(); }
    int cellHeight() const { return m_metrics.cellHeight(); }
    // Top-left corner of a character cell inside the control.
    QPoint cellOrigin(int line, int index) const { return m_metrics.cellOrigin(line, index); }
    // The code drawn in a cell, counted through all rows: past the text or its first NUL it is
    // code 0, and every code is limited to the font's range.
    int cellCode(int cell) const;
    // The caption as the display breaks it into rows, up to its end or first NUL, one line each:
    // the text a screen reader reads.
    QString shownRows() const;

    // Refusals always emit valueRefused; the error dialog can be turned off (tests, batch use).
    void setRefusalDialogsEnabled(bool enabled) { m_refusalDialogs = enabled; }

    QSize sizeHint() const override;

signals:
    // A property value was refused and left unchanged; the message is the one the dialog shows.
    void valueRefused(const QString& message);
    // A font file could not be used; the previous font stays.
    void fontFileRefused(const QString& fileName, const QString& reason);
    void clicked();
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void mouseMove(Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void refuse(const QString& message);
    bool acceptNonNegative(int value, const char* message);
    void setMetric(int LcdMetrics::*field, int value);
    bool loadCustomFont(const QString& fileName);
    void useFont(const LcdFont& font);
    void applyExactSize();
    void changed();
    void composeFrame();
    void drawBorder();
    void drawText();
    void announceRows();

    QString m_caption;
    int m_textEnd = 0; // cells before the caption's end or first NUL
    Lcd::DotMatrix m_dotMatrix = Lcd::mat5x7;
    LcdFont m_font = LcdFont::builtIn(Lcd::mat5x7);
    QString m_filename;
    Lcd::PixelSize m_pixelSize = Lcd::pix2x2;
    Lcd::PixelShape m_pixelShape = Lcd::spSquare;
    LcdMetrics m_metrics;
    int m_textLines = 1;
    int m_noOfChars = 10;
    QColor m_backGround = QColor(0xC0, 0xC0, 0xC0);
    Lcd::BorderStyle m_borderStyle = Lcd::frLowered;
    QColor m_borderColor = Qt::black;
    QColor m_pixelOn = Qt::black;
    QColor m_pixelOff = QColor(0xAA, 0xAA, 0xAA);
    QColor m_halfOnColour = Qt::black;
    QString m_hint;
    bool m_showHint = false;
    bool m_refusalDialogs = true;
    bool m_pressed = false;

    QSize m_lastSize;
    LcdGlyphCache m_glyphs;
    QImage m_frame;
    bool m_frameDirty = true; // everything must be drawn again
    bool m_textDirty = false; // only the cells must be drawn again
    int m_tag = 0;
    // A display rewritten by a flood of messages is announced a few times a second, each time
    // as a change from the rows announced last.
    QString m_announcedRows;
    ValueAnnouncer m_rowsAnnouncer{this, [this] { announceRows(); }};
};
