#include "status_log.h"

#include "click_keys.h"

#include <QScrollBar>

StatusLog::StatusLog(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("ListBox"));
    setAccessibleName(tr("Status log"));
    setToolTip(tr("Click to clear the log"));
    setAccessibleDescription(tr("Enter or Space clears the log"));
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::NoSelection);
    setUniformItemSizes(true);
    m_rowHeight = measureRowHeight();
    setFixedHeight(sizeHint().height());
}

QSize StatusLog::sizeHint() const {
    return {QListWidget::sizeHint().width(), kVisibleLines * m_rowHeight + 2 * frameWidth()};
}

int StatusLog::measureRowHeight() const {
    // Measured on a probe item so that exactly seven rows fit, whatever the style adds.
    QListWidget probe;
    probe.setFont(font());
    probe.addItem(QStringLiteral("Xg"));
    return probe.sizeHintForRow(0);
}

void StatusLog::WriteMsg(const QString& text) {
    addItem(text);
    if (count() >= kVisibleLines + 1)
        scrollToItem(item(count() - kVisibleLines), QAbstractItemView::PositionAtTop);
}

QStringList StatusLog::lines() const {
    QStringList result;
    for (int i = 0; i < count(); ++i)
        result << item(i)->text();
    return result;
}

int StatusLog::topIndex() const {
    return verticalScrollBar()->value();
}

void StatusLog::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    ListBoxClick();
}

void StatusLog::keyPressEvent(QKeyEvent* event) {
    if (isClickKey(*event))
        ListBoxClick();
    else
        QListWidget::keyPressEvent(event);
}

void StatusLog::ListBoxClick() {
    clear();
}
