// TransferClock: the time a bank job runs on, one pending call at a time. The Qt clock runs on
// the event loop; tests put in a clock of their own and move it by hand.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <cstdint>
#include <functional>

class TransferClock {
public:
    virtual ~TransferClock() = default;
    virtual std::int64_t nowMs() const = 0;
    // Calls `fired` once, `ms` from now, in place of any call still pending.
    virtual void callAfter(int ms, std::function<void()> fired) = 0;
    virtual void cancel() = 0;
};

class QtTransferClock : public TransferClock {
public:
    QtTransferClock();

    std::int64_t nowMs() const override { return m_clock.elapsed(); }
    void callAfter(int ms, std::function<void()> fired) override;
    void cancel() override;

private:
    void timeout();

    QElapsedTimer m_clock;
    QTimer m_timer;
    std::int64_t m_deadline = 0;
    std::function<void()> m_fired;
};
