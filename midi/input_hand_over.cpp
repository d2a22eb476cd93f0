#include "input_hand_over.h"

#include <QMetaObject>

InputHandOver::InputHandOver(QObject* target, DropSink dropped, int maxPending)
    : m_target(target), m_dropped(std::move(dropped)), m_maxPending(maxPending) {}

void InputHandOver::post(std::function<void()> call) {
    if (m_pending.fetch_add(1) >= m_maxPending) {
        m_pending.fetch_sub(1);
        m_droppedCount.fetch_add(1);
        return;
    }
    QMetaObject::invokeMethod(
        m_target,
        [this, call = std::move(call), droppedBefore = m_droppedCount.exchange(0)] {
            if (droppedBefore > 0) m_dropped(droppedBefore);
            call();
            handedOver();
        },
        Qt::QueuedConnection);
}

// No later call may come to carry drops after the last one, so they are reported here.
void InputHandOver::handedOver() {
    if (m_pending.fetch_sub(1) != 1) return;
    if (const int dropped = m_droppedCount.exchange(0); dropped > 0) m_dropped(dropped);
}
