// UploadCloseGuard: asks before the editor window closes during an upload, since a half-sent
// bank leaves the controller with a partly written one. The user lets the upload finish (the
// window then closes by itself), stops it now, or keeps the window open.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

class QAbstractButton;
class QPushButton;
class QWidget;
class TransferControl;

class UploadCloseGuard : public QObject {
    Q_OBJECT
public:
    UploadCloseGuard(QWidget& window, TransferControl& transfer);

    // Asked by the window's close event: true when it may close now. Otherwise the question is
    // shown, without blocking, and its answer decides.
    bool mayClose();
    // The open question, or nullptr.
    QMessageBox* question() const { return m_question; }

private:
    void ask();
    void answered(QAbstractButton* button);
    void transferFinished();

    QWidget& m_window;
    TransferControl& m_transfer;
    QPointer<QMessageBox> m_question;
    QPushButton* m_finish = nullptr;
    QPushButton* m_stop = nullptr;
    bool m_closeWhenDone = false;
};
