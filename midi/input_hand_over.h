// InputHandOver: carries calls from a MIDI driver's thread to the thread of a target object,
// in arrival order, with at most a bounded number waiting (kMaxPending unless given). Calls beyond
// that are dropped and counted; the count is reported on the target's thread, in order: before the
// next call that gets through, or once nothing waits any more.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>

class InputHandOver {
public:
    static constexpr int kMaxPending = 20000;
    using DropSink = std::function<void(int count)>;

    // `target` must outlive every call posted; the hand-over must outlive the target's queue.
    InputHandOver(QObject* target, DropSink dropped, int maxPending = kMaxPending);

    // Any thread.
    void post(std::function<void()> call);

private:
    void handedOver();

    QObject* m_target;
    DropSink m_dropped;
    int m_maxPending;
    std::atomic<int> m_pending{0};
    std::atomic<int> m_droppedCount{0};
};
