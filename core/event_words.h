// eventWords: the event of a pot or button in a few words, as the overview and the bank sheet
// show it ("CC 91 ch 1", "Note C4 ch 6", "Program change ch 2"). Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <string>

// `storedStatus` is byte 0 of the entry (status without bit 7), `data1` its first data byte.
std::string eventWords(std::uint8_t storedStatus, std::uint8_t data1);
