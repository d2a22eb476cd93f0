// KnobMath: the arithmetic of the rotary knob: range to sweep, value to angle, mouse to angle.
#pragma once

namespace knob_math {

// The sweep runs counter-clockwise from 240 degrees (lower left) to -60 degrees (lower right).
constexpr int kStartAngle = 240;
constexpr int kEndAngle = -60;
constexpr int kSweepDegrees = kStartAngle - kEndAngle;

// Nearest integer with halves to even (the knob's rounding everywhere).
int roundHalfEven(double value);

// Degrees per unit of value, kept in single precision; 0 for an empty range, negative when
// the knob is inverted (max below min).
float degreesPerUnit(int min, int max);

// Keeps a position within the range. An inverted knob wraps to the opposite end instead of
// stopping at the end it passed.
int limitPosition(int position, int min, int max, float degreesPerUnit);

int angleForValue(int value, int min, float degreesPerUnit);
int valueForAngle(int angle, int min, float degreesPerUnit);

// Angle of the point (x, y) seen from the centre of a width x height control, with the gap at
// the bottom of the sweep closed so that the pointer snaps to the nearer end.
int mouseAngle(int x, int y, int width, int height);

// The side of the square the knob takes when resized to width x height from side.
int squareSide(int side, int width, int height);

} // namespace knob_math
