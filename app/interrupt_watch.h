// InterruptWatch: while it lives, SIGINT and SIGTERM run a function on the thread that made it.
// A signal handler may only set a flag, so the flag is looked at a few times a second.
#pragma once

#include <QTimer>
#include <functional>
#include <string>

class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> interrupted);
    ~InterruptWatch(); // the signals' default handling comes back

    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    QTimer m_poll;
};

// The handler for a command whose MIDI ports went away, for any thread: on `context`'s thread it
// says "Lost the <ports> - <reason>!" through `say`, once however many ports go, and ends the
// event loop with `exitCode`.
std::function<void(const std::string& reason)>
endOnPortLoss(QObject& context, std::function<void(const std::string&)> say, std::string ports,
              int exitCode);
