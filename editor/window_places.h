// WindowPlaces: where the program's windows were when it last closed. A window takes its kept
// place the first time it is placed in a run, on a screen where it can be reached; at the end
// only the places that the run changed are written, so a run on a smaller screen, which had to
// move the windows, leaves the places kept for the larger one as they were.
#pragma once

#include "registry_settings.h"

#include <QObject>
#include <QPointer>
#include <array>

class QWidget;

class WindowPlaces : public QObject {
    Q_OBJECT
public:
    enum class Window { Editor, VirtualBox, CustomDesk, MidiMonitor };

    void read(const QSettings& settings);
    // Puts `window` where it was kept, once in a run; a custom desk only where the desk built
    // from `deskFile` was kept. From the first call on, the window's moves and resizes are
    // followed; a window placed again stays where it is.
    void place(QWidget& window, Window which, const QString& deskFile = {});
    void write(QSettings& settings) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        registry_settings::WindowPlace kept;
        bool taken = false;
        QPointer<QWidget> window;
        QString deskFile;
        QRect given;   // where the run put the window
        QRect current; // where it is now, or was when it went
    };
    Entry& entry(Window which) { return m_entries[std::size_t(which)]; }

    std::array<Entry, 4> m_entries;
};
