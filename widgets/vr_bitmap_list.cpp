#include "vr_bitmap_list.h"

TVrBitmapList::TVrBitmapList(QObject* parent) : QObject(parent) {}

int TVrBitmapList::Add(const QImage& bitmap) {
    m_bitmaps.push_back(bitmap);
    emit OnChange();
    return Count() - 1;
}

const QImage* TVrBitmapList::GetBitmap(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return &m_bitmaps[static_cast<std::size_t>(index)];
}
