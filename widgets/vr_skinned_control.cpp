#include "vr_skinned_control.h"

#include "accessible_controls.h"
#include "key_colour.h"
#include "vr_bitmap_list.h"

#include <QPainter>

TVrSkinnedControl::TVrSkinnedControl(QWidget* parent) : QWidget(parent) {
    installAccessibleControls(); // before a screen reader first asks for the control
    m_color = palette().color(QPalette::Button);
}

TVrSkinnedControl::~TVrSkinnedControl() {
    SetBitmapList(nullptr);
}

void TVrSkinnedControl::SetBitmapList(TVrBitmapList* list) {
    if (list == m_list) return;
    disconnect(m_listChanged);
    disconnect(m_listDestroyed);
    m_list = list;
    if (list) {
        m_listChanged =
            connect(list, &TVrBitmapList::OnChange, this, &TVrSkinnedControl::refreshGeometry);
        m_listDestroyed = connect(list, &QObject::destroyed, this, [this] {
            m_list = nullptr;
            refreshGeometry();
        });
    }
    refreshGeometry();
}

void TVrSkinnedControl::SetBitmapIndex(int index) {
    if (index == m_bitmapIndex) return;
    m_bitmapIndex = index;
    refreshGeometry();
}

void TVrSkinnedControl::SetImageCount(int count) {
    if (count == m_imageCount) return;
    m_imageCount = count;
    refreshGeometry();
}

void TVrSkinnedControl::SetColor(const QColor& colour) {
    if (colour == m_color) return;
    m_color = colour;
    if (m_transparent) m_frames.assign(m_frames.size(), QPixmap());
    update();
}

void TVrSkinnedControl::SetTransparent(bool transparent) {
    if (transparent == m_transparent) return;
    m_transparent = transparent;
    m_frames.assign(m_frames.size(), QPixmap());
    update();
}

void TVrSkinnedControl::SetAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    applyAutoSize();
}

const QImage* TVrSkinnedControl::bitmap() const {
    return m_list ? m_list->GetBitmap(m_bitmapIndex) : nullptr;
}

void TVrSkinnedControl::refreshGeometry() {
    const QImage* strip = bitmap();
    if (strip && !strip->isNull() && m_imageCount > 0) {
        m_frameWidth = strip->width() / m_imageCount;
        m_frameHeight = strip->height();
    } else {
        m_frameWidth = 0;
        m_frameHeight = 0;
    }
    const bool hasFrames = m_frameWidth > 0 && m_frameHeight > 0;
    m_frames.assign(hasFrames ? static_cast<std::size_t>(m_imageCount) : 0, QPixmap());
    applyAutoSize();
    frameGeometryChanged();
    update();
}

void TVrSkinnedControl::applyAutoSize() {
    if (!m_autoSize) return;
    resize(m_frameWidth > 0 ? m_frameWidth : width(), m_frameHeight > 0 ? m_frameHeight : height());
    updateGeometry();
}

QSize TVrSkinnedControl::sizeHint() const {
    if (m_autoSize && m_frameWidth > 0 && m_frameHeight > 0) return {m_frameWidth, m_frameHeight};
    return size();
}

QPoint TVrSkinnedControl::frameOrigin() const {
    return {(width() - m_frameWidth) / 2, (height() - m_frameHeight) / 2};
}

const QPixmap& TVrSkinnedControl::frame(int index) {
    QPixmap& cached = m_frames[static_cast<std::size_t>(index)];
    if (cached.isNull()) {
        const QImage cut = bitmap()->copy(index * m_frameWidth, 0, m_frameWidth, m_frameHeight);
        cached = QPixmap::fromImage(m_transparent ? keyedOut(cut, m_color.rgb()) : cut);
    }
    return cached;
}

void TVrSkinnedControl::paintSkin(QPainter& painter, int index) {
    if (m_frames.empty()) {
        painter.fillRect(rect(), m_color);
        return;
    }
    if (!m_transparent) painter.fillRect(rect(), m_color);
    const int last = static_cast<int>(m_frames.size()) - 1;
    painter.drawPixmap(frameOrigin(), frame(std::clamp(index, 0, last)));
}
