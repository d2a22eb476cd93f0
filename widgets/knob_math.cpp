#include "knob_math.h"

#include <algorithm>
#include <cfenv>
#include <climits>
#include <cmath>
#include <numbers>

namespace knob_math {

int roundHalfEven(double value) {
    // std::nearbyint follows the current rounding mode; the knob always wants to-nearest-even.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return static_cast<int>(std::clamp(rounded, -2147483648.0, 2147483647.0));
}

float degreesPerUnit(int min, int max) {
    if (max == min) return 0.0f;
    return static_cast<float>(kSweepDegrees) /
           static_cast<float>(static_cast<double>(max) - static_cast<double>(min));
}

int limitPosition(int position, int min, int max, float degreesPerUnit) {
    if (degreesPerUnit >= 0.0f) return std::clamp(position, min, std::max(min, max));
    if (position > min) position = max;
    if (position < max) position = min;
    return position;
}

int angleForValue(int value, int min, float degreesPerUnit) {
    const double units = static_cast<double>(value) - static_cast<double>(min);
    return kStartAngle - roundHalfEven(units * static_cast<double>(degreesPerUnit));
}

int valueForAngle(int angle, int min, float degreesPerUnit) {
    if (degreesPerUnit == 0.0f) return min;
    const double units = (kStartAngle - angle) / static_cast<double>(degreesPerUnit);
    const long long value = static_cast<long long>(roundHalfEven(units)) + min;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int mouseAngle(int x, int y, int width, int height) {
    const int cx = width / 2;
    const int cy = height / 2;
    int angle;
    if (x == cx) {
        angle = y > cy ? kStartAngle : 90;
    } else {
        const double slope = static_cast<double>(cy - y) / static_cast<double>(x - cx);
        angle = roundHalfEven(std::atan(slope) * 180.0 / std::numbers::pi);
        if (x < cx) angle = (angle + 540) % 360;
    }
    if (angle > kStartAngle && angle <= 270) angle = kStartAngle;
    if (angle < kEndAngle) angle = kEndAngle;
    return angle;
}

int squareSide(int side, int width, int height) {
    if (height > side || width > side) return std::max(width, height);
    if (height < side || width < side) return std::min(width, height);
    return side;
}

} // namespace knob_math
