// JobFocus: where the keyboard focus is while a job runs (a transfer, a library job). The buttons
// that start a job are disabled while it runs, and Qt hands the focus of a disabled control on
// to the next one, which may be disabled next in turn: the focus walks and lands where the user
// never went. Instead, the focus on the button that started the job goes to the job's Cancel
// button, whose description says which job it stops (what a screen reader says as the focus
// arrives), and comes back to that button when the job ends. Focus elsewhere stays where it is.
#pragma once

#include <QPointer>
#include <QString>
#include <initializer_list>

class QPushButton;
class QWidget;

class JobFocus {
public:
    explicit JobFocus(QPushButton* cancel = nullptr);
    ~JobFocus();
    void setCancel(QPushButton* cancel);

    // A job starts, with Cancel shown and before its buttons are disabled. When the focus of
    // Cancel's window is on one of `starters` (or on no control), it goes to Cancel. `job` names
    // the job for Cancel's description: "upload of bank 2".
    void started(std::initializer_list<QWidget*> starters, const QString& job);
    // The job has ended, its buttons are enabled again and Cancel is still shown: the focus on
    // Cancel goes back to the button that started the job.
    void ended();

private:
    QPointer<QPushButton> m_cancel;
    QPointer<QWidget> m_starter; // where the focus came from, while it is on Cancel
};
