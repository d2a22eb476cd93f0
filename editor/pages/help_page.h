// HelpPage: the "Help" page with the about text and the usage hints.
#pragma once

#include "deferred_page.h"

class QPlainTextEdit;

class HelpPage : public DeferredPage {
    Q_OBJECT
public:
    explicit HelpPage(QWidget* parent = nullptr);

    static QString helpText();
    QPlainTextEdit* HelpMemo = nullptr;

protected:
    void build() override;
};
