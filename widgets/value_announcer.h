// ValueAnnouncer: tells screen readers of a control's new value, a few times a second at most.
// A control moved by a flood of MIDI messages would otherwise send thousands of events a second
// and drown the speech; the first change goes at once and the last one is always sent.
#pragma once

#include <QTimer>
#include <functional>

class QWidget;

class ValueAnnouncer {
public:
    static constexpr int kIntervalMs = 250;
    using Send = std::function<void()>;

    // Sends the control's value-change event while a screen reader listens.
    explicit ValueAnnouncer(QWidget* control);
    // Sends through sendEvent instead, on the thread of context.
    ValueAnnouncer(QObject* context, Send sendEvent);

    // The value changed; call after the control has taken the new value.
    void changed();

private:
    void send();

    Send m_send;
    QTimer m_quiet; // runs for an interval after each event sent
    bool m_pending = false;
};
