#include "window_places.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

const std::array<QString, 4> kNames{
    QStringLiteral("EDITOR_WINDOW"), QStringLiteral("VIRTUAL_BOX_WINDOW"),
    QStringLiteral("CUSTOM_DESK_WINDOW"), QStringLiteral("MIDI_MONITOR_WINDOW")};

// Frame position and inner size: what moving and resizing a window take back.
QRect placeOf(const QWidget& window) {
    return {window.pos(), window.size()};
}

QList<QRect> availableScreens() {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    return screens;
}

} // namespace

void WindowPlaces::read(const QSettings& settings) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        m_entries[i].kept = registry_settings::readWindowPlace(settings, kNames[i]);
}

void WindowPlaces::place(QWidget& window, Window which, const QString& deskFile) {
    Entry& e = entry(which);
    if (!e.taken && e.kept.deskFile == deskFile) {
        if (const auto reachable =
                registry_settings::reachablePlace(e.kept.place, availableScreens())) {
            window.resize(reachable->size());
            window.move(reachable->topLeft());
            e.taken = true;
        }
    }
    if (e.window == &window) return; // shown again: where the user left it
    window.installEventFilter(this);
    e.window = &window;
    e.deskFile = deskFile;
    e.given = e.current = placeOf(window);
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        for (Entry& e : m_entries)
            if (e.window == watched) e.current = placeOf(*e.window);
    }
    return QObject::eventFilter(watched, event);
}

void WindowPlaces::write(QSettings& settings) const {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const Entry& e = m_entries[i];
        if (e.current != e.given)
            registry_settings::writeWindowPlace(settings, kNames[i], {e.current, e.deskFile});
    }
}
