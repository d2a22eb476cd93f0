#include "input_hand_over.h"

#include <QMetaObject>
#include <algorithm>

using input_coalescing::kNever;

InputHandOver::InputHandOver(QObject* target, DropSink dropped, int maxPending,
                             std::chrono::milliseconds behind)
    : m_target(target), m_dropped(std::move(dropped)), m_maxPending(maxPending), m_behind(behind) {
    forgetKeys();
}

void InputHandOver::post(std::function<void()> call, int supersedeKey) {
    const auto arrived = Clock::now();
    std::lock_guard lock(m_mutex);
    if (m_live >= m_maxPending && !supersedeWaiting(supersedeKey)) {
        ++m_droppedCount;
        return;
    }
    if (supersedeKey != kNever) m_lastOfKey[std::size_t(supersedeKey)] = int(m_waiting.size());
    m_waiting.push_back({std::move(call), supersedeKey, arrived, std::exchange(m_droppedCount, 0)});
    ++m_live;
    if (!std::exchange(m_wakePosted, true))
        QMetaObject::invokeMethod(
            m_target, [this] { handOver(); }, Qt::QueuedConnection);
}

// The queue is full: the call of the same key waiting last makes way instead of this one.
bool InputHandOver::supersedeWaiting(int key) {
    if (key == kNever || m_lastOfKey[std::size_t(key)] < 0) return false;
    m_waiting[std::size_t(m_lastOfKey[std::size_t(key)])].call = nullptr;
    --m_live;
    if (m_waiting.size() >= 2 * std::size_t(m_maxPending)) compactWaiting();
    return true;
}

// Replaced calls are kept only while they carry a drop count still to be reported.
void InputHandOver::compactWaiting() {
    std::erase_if(m_waiting, [](const Pending& p) { return !p.call && p.droppedBefore == 0; });
    forgetKeys();
    for (std::size_t i = 0; i < m_waiting.size(); ++i)
        if (m_waiting[i].call && m_waiting[i].key != kNever)
            m_lastOfKey[std::size_t(m_waiting[i].key)] = int(i);
}

void InputHandOver::handOver() {
    takeWaiting();
    while (m_next < m_batch.size()) {
        const std::size_t i = m_next++;
        Pending pending = std::move(m_batch[i]);
        if (pending.droppedBefore > 0) m_dropped(pending.droppedBefore);
        const bool stale = m_superseded[i] && Clock::now() - pending.arrived > m_behind;
        if (pending.call && !stale) pending.call();
    }
    m_batch.clear();
    m_superseded.clear();
    m_next = 0;
    reportTrailingDrops();
}

void InputHandOver::takeWaiting() {
    std::vector<Pending> waiting;
    {
        std::lock_guard lock(m_mutex);
        waiting.swap(m_waiting);
        forgetKeys();
        m_live = 0;
        m_wakePosted = false;
    }
    if (waiting.empty()) return;
    std::move(waiting.begin(), waiting.end(), std::back_inserter(m_batch));
    std::vector<int> keys;
    keys.reserve(m_batch.size() - m_next);
    for (std::size_t i = m_next; i < m_batch.size(); ++i)
        keys.push_back(m_batch[i].key);
    const std::vector<bool> superseded = input_coalescing::supersededByLater(keys);
    m_superseded.resize(m_batch.size());
    std::copy(superseded.begin(), superseded.end(), m_superseded.begin() + std::ptrdiff_t(m_next));
}

// No later call may come to carry drops after the last one, so they are reported here.
void InputHandOver::reportTrailingDrops() {
    int dropped = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!m_waiting.empty()) return;
        dropped = std::exchange(m_droppedCount, 0);
    }
    if (dropped > 0) m_dropped(dropped);
}
