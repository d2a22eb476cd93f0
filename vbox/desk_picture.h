// Pictures of the desks for checking by eye: the standard desk filled from the built-in bank
// after a few actions, with the LCD's report and, below it, the LCD in bar-graph mode; and every
// example desk as it is built from its description.
#pragma once

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

QImage virtualBoxPicture();

// One picture per desk description (*.vpt) in `folder`, in name order, named "desk_" followed by
// the file's base name.
QList<QPair<QString, QImage>> exampleDeskPictures(const QString& folder);
// The example desks shipped with the program.
QList<QPair<QString, QImage>> exampleDeskPictures();
