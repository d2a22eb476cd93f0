// TDeskLabel: a text label of a custom desk. It takes the size of its text whenever the text
// changes, so a value that grows ("3" to "100 2") is never cut; screen readers read its text.
#pragma once

#include <QLabel>

class TDeskLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void SetCaption(const QString& text);
};

// Writes a value label: a desk label follows its text with its size, any other label keeps its
// size (the standard desk's labels are as wide as their knobs). Screen readers hear the new
// value a few times a second at most.
void setLabelText(QLabel* label, const QString& text);
