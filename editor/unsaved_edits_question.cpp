#include "unsaved_edits_question.h"

#include "plain_title.h"

#include <QPushButton>
#include <utility>

UnsavedEditsQuestion::UnsavedEditsQuestion(QWidget& window, std::function<bool()> modified,
                                           std::function<bool()> save)
    : QObject(&window), m_window(window), m_modified(std::move(modified)), m_save(std::move(save)) {
}

void UnsavedEditsQuestion::askThen(const QString& what, Action action, Action cancelled) {
    if (m_question) { // answered "Cancel"
        m_question->close();
        m_waiting = {};
        if (Action earlier = std::exchange(m_cancelled, {})) earlier();
    }
    if (!m_modified()) {
        action();
        return;
    }
    m_waiting = std::move(action);
    m_cancelled = std::move(cancelled);
    m_question = new QMessageBox(
        QMessageBox::Question, plainTitle(m_window), tr("The bank has changes that are not saved."),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &m_window);
    m_question->setInformativeText(tr("Save them before %1?").arg(what));
    m_question->setObjectName(QStringLiteral("UnsavedEditsQuestion"));
    m_question->setAttribute(Qt::WA_DeleteOnClose);
    m_question->setDefaultButton(QMessageBox::Save);
    m_question->setEscapeButton(QMessageBox::Cancel);
    connect(m_question, &QMessageBox::buttonClicked, this, &UnsavedEditsQuestion::answered);
    m_question->open();
}

void UnsavedEditsQuestion::answered(QAbstractButton* button) {
    const QMessageBox::StandardButton answer = m_question->standardButton(button);
    Action waiting = std::exchange(m_waiting, {});
    Action cancelled = std::exchange(m_cancelled, {});
    if (answer == QMessageBox::Cancel) {
        if (cancelled) cancelled();
        return;
    }
    if (!waiting) return;
    // After the question has gone: saving may show the save dialog.
    QMetaObject::invokeMethod(
        this,
        [this, save = answer == QMessageBox::Save, waiting = std::move(waiting)] {
            if (!save || m_save()) waiting(); // a bank that was not stored is kept
        },
        Qt::QueuedConnection);
}
