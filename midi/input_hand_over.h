// InputHandOver: carries calls from a MIDI driver's thread to the thread of a target object, in
// arrival order. One queued wake-up takes whatever waits, so the target's event queue holds at
// most one hand-over however fast input comes (a queue of thousands makes every repaint request
// of the target's thread slow). A call may carry a supersede key (input_coalescing): once it has
// waited longer than `behind` (kBehind unless given), or when the queue is full, a call with a
// later one of the same key behind it is skipped. A controller flood thus costs the target only the
// latest value of each controller while it is behind, and it never ends on a stale one; in step,
// nothing is skipped. At most maxPending calls wait; others are dropped and counted, the count
// reported on the target's thread, in order: before the next call that gets through, or once
// nothing waits.
#pragma once

#include "input_coalescing.h"

#include <QObject>
#include <array>
#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

class InputHandOver {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kMaxPending = 20000;
    static constexpr std::chrono::milliseconds kBehind{20};
    using DropSink = std::function<void(int count)>;

    // `target` must outlive every call posted; the hand-over must outlive the target's queue.
    InputHandOver(QObject* target, DropSink dropped, int maxPending = kMaxPending,
                  std::chrono::milliseconds behind = kBehind);

    // Any thread.
    void post(std::function<void()> call, int supersedeKey = input_coalescing::kNever);

private:
    struct Pending {
        std::function<void()> call; // empty once a later call of its key replaced it
        int key;
        Clock::time_point arrived;
        int droppedBefore;
    };

    // Under m_mutex.
    bool supersedeWaiting(int key);
    void compactWaiting();
    void forgetKeys() { m_lastOfKey.fill(-1); }
    // On the target's thread.
    void handOver();
    void takeWaiting();
    void reportTrailingDrops();

    QObject* m_target;
    DropSink m_dropped;
    int m_maxPending;
    std::chrono::milliseconds m_behind;

    std::mutex m_mutex;
    std::vector<Pending> m_waiting;
    std::array<int, input_coalescing::kKeyCount> m_lastOfKey{}; // index in m_waiting, or -1
    int m_live = 0;                                             // calls in m_waiting not replaced
    int m_droppedCount = 0;
    bool m_wakePosted = false;

    // The batch being handed over; a nested event loop in a call carries it on, in order.
    std::vector<Pending> m_batch;
    std::vector<bool> m_superseded;
    std::size_t m_next = 0;
};
