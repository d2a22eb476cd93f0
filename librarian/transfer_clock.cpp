#include "transfer_clock.h"

QtTransferClock::QtTransferClock() {
    m_clock.start();
    m_timer.setSingleShot(true);
    // Coarse timers may fire up to 5 % early, and the controller needs every wait whole.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { timeout(); });
}

void QtTransferClock::callAfter(int ms, std::function<void()> fired) {
    m_deadline = nowMs() + ms;
    m_fired = std::move(fired);
    m_timer.start(ms);
}

void QtTransferClock::cancel() {
    m_timer.stop();
    m_fired = nullptr;
}

// A timer that woke early is armed again for the rest of the wait.
void QtTransferClock::timeout() {
    if (const auto rest = m_deadline - nowMs(); rest > 0) {
        m_timer.start(static_cast<int>(rest));
        return;
    }
    if (auto fired = std::exchange(m_fired, nullptr)) fired();
}
