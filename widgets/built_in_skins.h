// The skins the program brings along: a knob strip for the knob skin list and a push-button
// strip for the transfer page's test button. Both use magenta as their transparent key colour.
#pragma once

#include <QColor>
#include <QImage>

constexpr QRgb kSkinKeyColour = 0xFF00FF;

constexpr int kBuiltInKnobFrames = 32;
constexpr int kBuiltInKnobFrameWidth = 48;
constexpr int kBuiltInKnobFrameHeight = 44;

constexpr int kBuiltInButtonFrames = 8;
constexpr int kBuiltInButtonFrameSide = 36;

// 32 frames of 48 x 44 side by side, 24 bits per pixel: a dark knob with a white pointer turning
// over the 300-degree sweep and an amber scale lit up to the pointer.
QImage builtInKnobSkin();

// 8 frames of 36 x 36: a round push button going down while its red lamp lights up.
QImage builtInButtonSkin();
