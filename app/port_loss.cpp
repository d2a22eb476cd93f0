#include "port_loss.h"

#include "midi_port.h"
#include "port_matching.h"
#include "port_watch.h"

#include <QMetaObject>
#include <utility>

namespace {

QString directionText(PortLoss::Direction direction) {
    return direction == PortLoss::Direction::In ? QStringLiteral("IN") : QStringLiteral("OUT");
}

} // namespace

PortLoss::PortLoss(LogSink say, std::function<void()> end)
    : m_say(std::move(say)), m_end(std::move(end)) {}

PortLoss::~PortLoss() = default;

PortLostHandler PortLoss::use(Direction direction, std::string port) {
    const Used used{direction, std::move(port)};
    m_used.push_back(used);
    return [this, used](const std::string& reason) {
        QMetaObject::invokeMethod(
            this, [this, used, text = QString::fromStdString(reason)] { lose(used, text); },
            Qt::QueuedConnection);
    };
}

void PortLoss::use(MidiPort& port, Direction direction) {
    const Used used{direction, port.chosenName()};
    m_used.push_back(used);
    connect(&port, &MidiPort::portLost, this,
            [this, used](const QString& reason) { lose(used, reason); });
}

void PortLoss::watch(MidiDeviceList& devices) {
    m_watch = std::make_unique<PortWatch>(devices);
    connect(m_watch.get(), &PortWatch::portsChanged, this, &PortLoss::portsChanged);
    // A port that went after the list was read and before the watch began is found too, once
    // the command's events run.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_watch->devices().refresh();
            portsChanged();
        },
        Qt::QueuedConnection);
}

void PortLoss::portsChanged() {
    const MidiDeviceList& devices = m_watch->devices();
    const auto inputs = MidiDeviceList::names(devices.everyInput());
    const auto outputs = MidiDeviceList::names(devices.everyOutput());
    for (const Used& used : m_used) {
        const auto& available = used.direction == Direction::In ? inputs : outputs;
        if (port_matching::follow(used.port, true, false, available) == port_matching::Follow::Lose)
            lose(used, QString::fromLatin1(port_matching::kGoneAway));
    }
}

void PortLoss::lose(const Used& used, const QString& reason) {
    if (std::exchange(m_lost, true)) return;
    m_say(MidiPort::lostPortLine(directionText(used.direction), QString::fromStdString(used.port),
                                 reason)
              .toStdString());
    m_end();
}
