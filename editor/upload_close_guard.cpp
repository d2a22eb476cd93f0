#include "upload_close_guard.h"

#include "plain_title.h"
#include "transfer_control.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

UploadCloseGuard::UploadCloseGuard(QWidget& window, TransferControl& transfer)
    : QObject(&window), m_window(window), m_transfer(transfer) {
    connect(&m_transfer, &TransferControl::transferFinished, this,
            &UploadCloseGuard::transferFinished);
}

bool UploadCloseGuard::mayClose() {
    if (!m_transfer.uploading()) return true;
    if (m_question)
        m_question->raise();
    else if (!m_closeWhenDone)
        ask();
    return false;
}

void UploadCloseGuard::ask() {
    m_question = new QMessageBox(
        QMessageBox::Question, plainTitle(m_window),
        tr("A bank upload is running. Closing now leaves the controller with a partly written "
           "bank."),
        QMessageBox::Cancel, &m_window);
    m_question->setObjectName(QStringLiteral("UploadCloseQuestion"));
    m_question->setAttribute(Qt::WA_DeleteOnClose);
    m_finish = m_question->addButton(tr("Finish Upload, Then Close"), QMessageBox::AcceptRole);
    m_stop = m_question->addButton(tr("Stop Upload and Close"), QMessageBox::DestructiveRole);
    m_question->setDefaultButton(m_finish);
    connect(m_question, &QMessageBox::buttonClicked, this, &UploadCloseGuard::answered);
    m_question->open();
}

void UploadCloseGuard::answered(QAbstractButton* button) {
    if (button != m_finish && button != m_stop) return;
    m_closeWhenDone = true;
    if (button == m_stop) m_transfer.stopUpload();
    if (!m_transfer.uploading()) transferFinished(); // it ended while the question was open
}

// Closes once the upload's own loop has returned, never from inside it.
void UploadCloseGuard::transferFinished() {
    if (!m_closeWhenDone) return;
    m_closeWhenDone = false;
    QTimer::singleShot(0, &m_window, [window = &m_window] { window->close(); });
}
