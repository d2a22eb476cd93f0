// Sizes and positions of the standard virtual box: 64 knobs in four rows of 16 below the LCD,
// each with its value label, and four rows of 16 push buttons below them.
#pragma once

namespace desk_layout {

constexpr int kPotCount = 64;
constexpr int kKnobSize = 40;
constexpr int KnobsPerRow = 16;
constexpr int KnobPitchX = 50;
constexpr int KnobPitchY = 60;
constexpr int DeskTopOffset = 120;
constexpr int DeskExtraHeight = 20;
constexpr int DeskLeftMargin = 30;
constexpr int LabelOffsetY = 40;
constexpr int kValueLabelHeight = 20;

constexpr int kButtonRows = 4;
constexpr int kButtonSize = 25;
constexpr int kButtonIndent = 8;
constexpr int kButtonPitchY = 30;
constexpr int kButtonAreaHeight = 180;

constexpr int kDeskWidth = 2 * DeskLeftMargin + KnobPitchX * KnobsPerRow;
constexpr int kKnobAreaHeight =
    (KnobsPerRow + kPotCount - 1) / KnobsPerRow * KnobPitchY + DeskTopOffset + DeskExtraHeight;

constexpr int knobLeft(int i) {
    return i % KnobsPerRow * KnobPitchX + DeskLeftMargin;
}
constexpr int knobTop(int i) {
    return i / KnobsPerRow * KnobPitchY + DeskTopOffset;
}
constexpr int buttonLeft(int column) {
    return column % KnobsPerRow * KnobPitchX + DeskLeftMargin + kButtonIndent;
}
constexpr int buttonTop(int windowHeight, int row) {
    return windowHeight + row * kButtonPitchY - kButtonAreaHeight;
}

static_assert(kDeskWidth == 860 && kKnobAreaHeight == 380);

} // namespace desk_layout
