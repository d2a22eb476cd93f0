// InterruptWatch: while it lives, SIGINT and SIGTERM run a function on the thread that made it.
// A signal handler may only set a flag, so the flag is looked at a few times a second.
#pragma once

#include <QTimer>
#include <functional>

class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> interrupted);
    ~InterruptWatch(); // the signals' default handling comes back

    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    QTimer m_poll;
};
