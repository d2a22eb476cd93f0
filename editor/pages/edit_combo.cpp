#include "edit_combo.h"

#include <QLineEdit>

EditCombo::EditCombo(bool editable, QWidget* parent) : QComboBox(parent) {
    setEditable(editable);
    if (editable) {
        setInsertPolicy(QComboBox::NoInsert);
        // Completion would change the text behind the user's back.
        setCompleter(nullptr);
        connect(lineEdit(), &QLineEdit::textEdited, this, &EditCombo::textTyped);
    }
    connect(this, &QComboBox::activated, this, &EditCombo::userChanged);
}

void EditCombo::textTyped(const QString& text) {
    const int index = findText(text, Qt::MatchFixedString);
    if (index != currentIndex()) {
        // Changing the selection replaces the text; the user's text and cursor stay.
        const int cursor = lineEdit()->cursorPosition();
        setCurrentIndex(index);
        lineEdit()->setText(text);
        lineEdit()->setCursorPosition(cursor);
    }
    emit userChanged(index);
}
