// DialMath: the skinned dial's integer percent arithmetic; every division truncates toward zero.
#pragma once

#include <algorithm>

namespace dial_math {

// a as a share of b in percent; 0 when b is 0.
constexpr long long percent(long long a, long long b) {
    return b == 0 ? 0 : a * 100 / b;
}

// p percent of b.
constexpr long long share(long long p, long long b) {
    return p * b / 100;
}

// The frame of an imageCount-frame strip that shows percentDone.
constexpr int frameForPercent(long long percentDone, int imageCount) {
    if (imageCount <= 0) return 0;
    return static_cast<int>(
        std::clamp<long long>(share(percentDone, imageCount), 0, imageCount - 1));
}

} // namespace dial_math
