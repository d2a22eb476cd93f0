#include "job_focus.h"

#include <QCoreApplication>
#include <QPushButton>
#include <algorithm>
#include <utility>

JobFocus::JobFocus(QPushButton* cancel) : m_cancel(cancel) {}

JobFocus::~JobFocus() = default;

void JobFocus::setCancel(QPushButton* cancel) {
    m_cancel = cancel;
}

// The window's focus, whether the window is active or not: a question about the job may have
// just closed and left the window to be activated again.
void JobFocus::started(std::initializer_list<QWidget*> starters, const QString& job) {
    if (!m_cancel) return;
    m_cancel->setAccessibleDescription(
        QCoreApplication::translate("JobFocus", "Stops the running %1").arg(job));
    QWidget* focus = m_cancel->window()->focusWidget();
    if (focus && std::find(starters.begin(), starters.end(), focus) == starters.end()) return;
    m_starter = focus ? focus : *starters.begin();
    m_cancel->setFocus(Qt::OtherFocusReason);
}

void JobFocus::ended() {
    if (!m_cancel) return;
    m_cancel->setAccessibleDescription(QString());
    const QPointer<QWidget> starter = std::exchange(m_starter, nullptr);
    if (starter && starter->isEnabled() && starter->isVisible() &&
        m_cancel->window()->focusWidget() == m_cancel)
        starter->setFocus(Qt::OtherFocusReason);
}
