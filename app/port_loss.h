// PortLoss: the one way every vpt64 command ends when a MIDI port it uses goes away. JACK tells
// an open port itself; ALSA only announces that ports came or went, so the machine's ports are
// watched as well. The first loss says the line the window logs for a lost port and runs the
// command's ending; the ports that go with it (a stopping server takes them all) say nothing.
#pragma once

#include "dump_codec.h"
#include "midi_backend.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class MidiDeviceList;
class MidiPort;
class PortWatch;

class PortLoss : public QObject {
    Q_OBJECT
public:
    enum class Direction { In, Out };

    // `say` takes the line, `end` ends the command; both run on the thread that made this.
    PortLoss(LogSink say, std::function<void()> end);
    ~PortLoss() override;

    // A port opened on a MIDI system directly: the handler for that system's notice of its loss,
    // for any thread. The port must be closed before this goes.
    PortLostHandler use(Direction direction, std::string port);
    // A port component, once open: its own notice of a loss counts.
    void use(MidiPort& port, Direction direction);
    // A port in use that is not among `devices` any more, as they are once events run and
    // whenever they change, is lost as well.
    void watch(MidiDeviceList& devices);
    bool lost() const { return m_lost; }

private:
    struct Used {
        Direction direction;
        std::string port;
    };

    void lose(const Used& used, const QString& reason);
    void portsChanged();

    LogSink m_say;
    std::function<void()> m_end;
    std::vector<Used> m_used;
    std::unique_ptr<PortWatch> m_watch;
    bool m_lost = false;
};
