// The virtual box as a picture for checking by eye: the standard desk filled from the built-in
// bank after a few actions, with the LCD's report and, below it, the LCD in bar-graph mode.
#pragma once

#include <QImage>

QImage virtualBoxPicture();
