// LiveStatus: a status line that screen readers speak when it changes, without the focus moving.
// Qt 6.4 has no announcement event and its AT-SPI bridge drops alerts; what screen readers do
// speak unasked is an object of role "notification" that reports becoming showing (Orca speaks it
// and keeps it in its list of notifications). So the line is a notification on the bus and every
// announcement raises its showing state anew, besides the name change its new text brings.
#pragma once

#include <QLabel>

class LiveStatus : public QLabel {
    Q_OBJECT
public:
    explicit LiveStatus(QWidget* parent = nullptr);

    // Shows text and has it spoken, even when it is the text shown already.
    void announce(const QString& text);
};
