// TVrSkinnedControl: the common base of skinned dials and buttons: a link to a bitmap list,
// the frame geometry of the chosen strip, and centred drawing of one frame, keyed by Color
// when Transparent.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <vector>

class QPainter;
class TVrBitmapList;

class TVrSkinnedControl : public QWidget {
    Q_OBJECT
    // The desk's number for the control; declared, it is read without a search by name.
    Q_PROPERTY(int Tag MEMBER m_tag)
    Q_PROPERTY(int ImageCount READ ImageCount WRITE SetImageCount)
    Q_PROPERTY(int BitmapIndex READ BitmapIndex WRITE SetBitmapIndex)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)

public:
    explicit TVrSkinnedControl(QWidget* parent = nullptr);
    ~TVrSkinnedControl() override;

    TVrBitmapList* BitmapList() const { return m_list; }
    // Links the control to list (and unlinks it from the previous one); nullptr unlinks.
    void SetBitmapList(TVrBitmapList* list);
    int BitmapIndex() const { return m_bitmapIndex; }
    void SetBitmapIndex(int index);
    int ImageCount() const { return m_imageCount; }
    void SetImageCount(int count);
    QColor Color() const { return m_color; }
    void SetColor(const QColor& colour);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);

    int frameWidth() const { return m_frameWidth; }
    int frameHeight() const { return m_frameHeight; }
    // Where a frame is drawn: centred, divisions truncating toward zero.
    QPoint frameOrigin() const;
    // In a layout an automatically sized control asks for one frame.
    QSize sizeHint() const override;

protected:
    // Runs after every recomputation of the frame geometry.
    virtual void frameGeometryChanged() {}
    // Paints the control: frame index of the strip centred, or the plain Color without a skin.
    void paintSkin(QPainter& painter, int index);
    const QImage* bitmap() const;

private:
    void refreshGeometry();
    void applyAutoSize();
    const QPixmap& frame(int index);

    TVrBitmapList* m_list = nullptr;
    QMetaObject::Connection m_listChanged;
    QMetaObject::Connection m_listDestroyed;
    int m_bitmapIndex = -1;
    int m_imageCount = 0;
    QColor m_color;
    bool m_transparent = false;
    bool m_autoSize = false;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    std::vector<QPixmap> m_frames; // each frame cut from the strip (and keyed) when first drawn
    int m_tag = 0;
};
