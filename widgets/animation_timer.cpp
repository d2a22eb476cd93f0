#include "animation_timer.h"

#include <QTimer>
#include <chrono>

AnimationTimer::AnimationTimer(QObject* parent) : QObject(parent), m_guiTimer(new QTimer(this)) {
    connect(m_guiTimer, &QTimer::timeout, this, [this] {
        if (isEnabled()) emit tick();
    });
}

AnimationTimer::~AnimationTimer() {
    stopWorker();
}

bool AnimationTimer::isEnabled() const {
    std::lock_guard lock(m_mutex);
    return m_enabled;
}

int AnimationTimer::interval() const {
    std::lock_guard lock(m_mutex);
    return m_interval;
}

void AnimationTimer::setEnabled(bool enabled) {
    {
        std::lock_guard lock(m_mutex);
        m_enabled = enabled;
    }
    m_wake.notify_all();
    if (m_threaded && enabled && !m_worker.joinable())
        m_worker = std::thread(&AnimationTimer::workerLoop, this);
    syncGuiTimer();
}

void AnimationTimer::setInterval(int milliseconds) {
    {
        std::lock_guard lock(m_mutex);
        m_interval = milliseconds;
    }
    m_wake.notify_all();
    syncGuiTimer();
}

void AnimationTimer::setThreaded(bool threaded) {
    if (threaded == m_threaded) return;
    m_threaded = threaded;
    if (!threaded) stopWorker();
    setEnabled(isEnabled());
}

void AnimationTimer::syncGuiTimer() {
    std::unique_lock lock(m_mutex);
    const bool run = !m_threaded && m_enabled && m_interval > 0;
    const int interval = m_interval;
    lock.unlock();
    if (!run) {
        m_guiTimer->stop();
        return;
    }
    if (!m_guiTimer->isActive() || m_guiTimer->interval() != interval) m_guiTimer->start(interval);
}

void AnimationTimer::stopWorker() {
    if (!m_worker.joinable()) return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_worker.join();
    std::lock_guard lock(m_mutex);
    m_stopping = false;
    m_tickPending = false;
}

void AnimationTimer::workerLoop() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_enabled || m_interval <= 0) {
            m_wake.wait(lock);
            continue;
        }
        const auto due = Clock::now() + std::chrono::milliseconds(m_interval);
        const int interval = m_interval;
        // A change of state or interval restarts the wait.
        if (m_wake.wait_until(lock, due,
                              [&] { return m_stopping || !m_enabled || m_interval != interval; }))
            continue;
        m_tickPending = true;
        QMetaObject::invokeMethod(this, &AnimationTimer::handOver, Qt::QueuedConnection);
        m_wake.wait(lock, [this] { return m_stopping || !m_tickPending; });
    }
}

void AnimationTimer::handOver() {
    // A tick posted just before the worker was stopped is not delivered.
    if (m_threaded && isEnabled()) emit tick();
    {
        std::lock_guard lock(m_mutex);
        m_tickPending = false;
    }
    m_wake.notify_all();
}
