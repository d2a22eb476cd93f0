// TVrBitmapList: an ordered list of skin bitmaps shared by skinned dials and buttons; each
// bitmap is a strip of equally wide frames.
#pragma once

#include <QImage>
#include <QObject>
#include <vector>

class TVrBitmapList : public QObject {
    Q_OBJECT
public:
    explicit TVrBitmapList(QObject* parent = nullptr);

    // Stores a copy and returns its index. An empty image is stored too (it draws nothing), so
    // the indexes of later bitmaps keep their meaning when one skin file could not be read.
    int Add(const QImage& bitmap);
    int Count() const { return static_cast<int>(m_bitmaps.size()); }
    // The bitmap at index, or nullptr when index names none.
    const QImage* GetBitmap(int index) const;

signals:
    // Every linked control recomputes its frames on this.
    void OnChange();

private:
    std::vector<QImage> m_bitmaps;
};
