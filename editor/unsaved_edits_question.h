// UnsavedEditsQuestion: asks before unsaved edits of the bank would be lost (closing the window,
// opening or dropping a file, a bank arriving from the controller): "Save", "Discard" or
// "Cancel". It is shown without blocking, so MIDI input keeps running; the answer decides
// whether the waiting action runs. Save runs it only when storing worked.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractButton;

class UnsavedEditsQuestion : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;

    // `modified` tells whether there are unsaved edits; `save` stores the bank and tells whether
    // that worked.
    UnsavedEditsQuestion(QWidget& window, std::function<bool()> modified,
                         std::function<bool()> save);

    // Runs `action` now when nothing is unsaved, else asks; a question still open is answered
    // "Cancel" first. `what` finishes the sentence "Save them before ...". `cancelled` runs when
    // the answer is "Cancel".
    void askThen(const QString& what, Action action, Action cancelled = {});
    // The open question, or nullptr.
    QMessageBox* question() const { return m_question; }

private:
    void answered(QAbstractButton* button);

    QWidget& m_window;
    std::function<bool()> m_modified;
    std::function<bool()> m_save;
    QPointer<QMessageBox> m_question;
    Action m_waiting;
    Action m_cancelled;
};
