// formatText: printf-style formatting into a std::string of the exact length, for the log lines
// and texts that pure code returns.
#pragma once

#include <cstdio>
#include <string>

template <typename... Args> std::string formatText(const char* pattern, Args... args) {
    char shortText[128]; // most texts fit: formatted once, not measured first
    const int length = std::snprintf(shortText, sizeof shortText, pattern, args...);
    if (length <= 0) return {};
    if (std::size_t(length) < sizeof shortText) return std::string(shortText, std::size_t(length));
    std::string text(std::size_t(length), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}
