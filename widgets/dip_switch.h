// TDipSwitch: a column of up to 32 on/off switches, one line per bit of a 32-bit value: the
// line's text and, at the right edge, a slide switch; a click on a line flips its bit.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>

class QPainter;

class TDipSwitch : public QWidget {
    Q_OBJECT
    // The desk's number for the control; declared, it is read without a search by name.
    Q_PROPERTY(int Tag MEMBER m_tag)
    Q_PROPERTY(quint32 Value READ GetValue WRITE SetValue)
    Q_PROPERTY(QString Caption READ GetCaption WRITE SetCaption)
    Q_PROPERTY(int BitCount READ GetBitCount WRITE SetBitCount)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    static constexpr int kMaxBits = 32;
    static constexpr int kLineHeight = 12;
    static constexpr int kFirstLineTop = 10;
    static constexpr int kTextLeft = 10;

    explicit TDipSwitch(QWidget* parent = nullptr);

    std::uint32_t GetValue() const { return m_value; }
    void SetValue(std::uint32_t value);
    int GetBitCount() const { return m_bitCount; }
    // Also sets the height to BitCount x 12 + 30.
    void SetBitCount(int count);
    bool GetBitSwitch(int bit) const;
    void SetBitSwitch(int bit, bool on);
    QString GetOnBitLabel(int bit) const;
    QString GetOffBitLabel(int bit) const;
    void SetOnBitLabel(int bit, const QString& text);
    void SetOffBitLabel(int bit, const QString& text);
    QString GetCaption() const { return m_caption; }
    void SetCaption(const QString& caption) { m_caption = caption; }
    // With Transparent set, the white background of the drawing lets the parent show through.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);

    void DrawAgain();
    // Flips the switch on the line at y; any button, and the trigger fires in every case.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

    // The drawing surface; it keeps the size the widget had when it was first drawn.
    const QImage& surface() const { return m_surface; }
    static int rowAt(int y) { return (y + 2) / kLineHeight - 1; }
    // The slide switch of a line on a surface of the given width, and its lever: at the right
    // end when on, at the left end when off. Text stops short of the switch.
    static QRect switchRect(int line, int surfaceWidth);
    static QRect leverRect(int line, int surfaceWidth, bool on);

signals:
    void OnTrigger(TDipSwitch* sender);
    void OnClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool labelWritable(int bit) const;
    void setLabel(std::array<QString, kMaxBits>& labels, int bit, const QString& text);
    void updateShown();
    void drawSwitch(QPainter& painter, int line, bool on) const;

    std::uint32_t m_value = 0;
    QString m_caption;
    int m_bitCount = 0;
    std::array<QString, kMaxBits> m_onLabels;
    std::array<QString, kMaxBits> m_offLabels;
    bool m_transparent = false;
    bool m_clickPending = false;
    QImage m_surface;
    QImage m_shown; // the surface as painted, keyed when transparent
    int m_tag = 0;
};
