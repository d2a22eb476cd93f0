#include "desk_label.h"

void TDeskLabel::SetCaption(const QString& text) {
    setText(text);
    adjustSize();
}

void setLabelText(QLabel* label, const QString& text) {
    if (auto* deskLabel = qobject_cast<TDeskLabel*>(label))
        deskLabel->SetCaption(text);
    else
        label->setText(text);
}
