// eventWords: the event of a pot or button entry in a few words ("CC 91 ch 1", "Note C4 ch 6"),
// for tables and the printed bank sheet. Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <string>

// "C4" for note 60, "C-1" for note 0.
std::string noteName(std::uint8_t note);

// The event of an entry from its stored status byte (bit 7 removed) and its first data byte.
std::string eventWords(std::uint8_t storedStatus, std::uint8_t data1);
