// WidgetGallery: one picture of every control in its main states, for checking them by eye.
#pragma once

#include <QImage>

// Renders the knob, DIP switch, skinned dial, animated button and dot-matrix LCD sections.
QImage renderWidgetGallery();
