// The custom desk: TCustomDesk is the window a desk description builds, CustomDeskBuilder turns a
// DeskDescription into that window and its controls, enters them in the registry by their Tag
// ranges and appends the skin sections' bitmaps. What the controls do is the VirtualBox's
// business: it wires them once they are built.
#pragma once

#include "desk_description.h"

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class ControlRegistry;
class TLCDLabel;
class TVrBitmapList;

class TCustomDesk : public QWidget {
    Q_OBJECT
public:
    explicit TCustomDesk(QWidget* parent = nullptr);

    // The controls in the order they were built (skins and pictures have none to wire).
    std::vector<QWidget*> controls;
    // The LCD label built last, which receives the LCD text.
    QPointer<TLCDLabel> lastLcd;

signals:
    // The window was closed (it is only hidden): the editor comes back.
    void FaderDeskFormClose();

protected:
    void closeEvent(QCloseEvent* event) override;
};

// The picture of an Image section; a widget of its own, so that the desk dump skips it.
class DeskPicture : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

struct SkinLists {
    TVrBitmapList* knobs = nullptr;
    TVrBitmapList* buttons = nullptr;
};

class CustomDeskBuilder {
public:
    using Log = std::function<void(const QString&)>;
    explicit CustomDeskBuilder(Log log = {});

    // The window, hidden; the registry emptied and filled with its controls. Window and
    // controls are limited to `screen` (the available desktop).
    std::unique_ptr<TCustomDesk> build(const desk_file::DeskDescription& desk,
                                       ControlRegistry& registry, SkinLists skins, QSize screen);

private:
    QWidget* buildControl(const desk_file::DeskObject& object, TCustomDesk& window,
                          SkinLists skins);
    void appendSkin(const desk_file::DeskObject& object, TVrBitmapList* list);
    // A skin file read once: later builds append the same image data again (the indexes of the
    // first build stay valid) without holding another copy of its pixels.
    QImage skinImage(const QString& path);
    void log(const QString& line) const;

    Log m_log;
    struct CachedSkin {
        QImage image;
        qint64 size = 0;
        qint64 modified = 0;
    };
    QHash<QString, CachedSkin> m_skins;
    QSize m_screen;
};

// Windows colours of a desk file as the palette shows them: 0x80000000 + n is system colour n.
QColor deskColour(desk_file::WindowsColour colour, const QPalette& palette);
