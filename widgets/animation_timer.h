// AnimationTimer: ticks every Interval milliseconds, always handled on the GUI thread. When
// threaded, a worker thread does the waiting and hands each tick over with a queued call,
// then waits until the GUI thread has handled it; otherwise a GUI timer ticks.
#pragma once

#include <QObject>
#include <condition_variable>
#include <mutex>
#include <thread>

class QTimer;

class AnimationTimer : public QObject {
    Q_OBJECT
public:
    explicit AnimationTimer(QObject* parent = nullptr);
    ~AnimationTimer() override;

    bool isEnabled() const;
    // Disabling only marks the timer disabled: a tick already on its way is ignored.
    void setEnabled(bool enabled);
    int interval() const;
    // An interval of 0 or less never ticks.
    void setInterval(int milliseconds);
    bool isThreaded() const { return m_threaded; }
    void setThreaded(bool threaded);

signals:
    void tick();

private:
    void workerLoop();
    void handOver();
    void stopWorker();
    void syncGuiTimer();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_enabled = false;
    int m_interval = 1000;
    bool m_stopping = false;
    bool m_tickPending = false;
    bool m_threaded = true;
    std::thread m_worker;
    QTimer* m_guiTimer;
};
