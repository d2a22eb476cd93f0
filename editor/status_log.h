// StatusLog: the list of log lines on the transfer page through which the program reports.
#pragma once

#include <QListWidget>

class StatusLog : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kVisibleLines = 7;

    explicit StatusLog(QWidget* parent = nullptr);

    // Appends one line; from the eighth line on, the last seven lines are scrolled into view.
    void WriteMsg(const QString& text);
    QStringList lines() const;
    int topIndex() const;

    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override; // Enter or Space clears as a click does

private:
    void ListBoxClick();
    int measureRowHeight() const;

    int m_rowHeight = 0;
};
