// HelpPage: the "Help" page with the about text and the usage hints.
#pragma once

#include <QWidget>

class QPlainTextEdit;

class HelpPage : public QWidget {
    Q_OBJECT
public:
    explicit HelpPage(QWidget* parent = nullptr);

    static QString helpText();
    QPlainTextEdit* HelpMemo = nullptr;
};
