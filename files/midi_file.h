// The two MIDI file forms of a bank.
#pragma once

#include "bank_record.h"

#include <QByteArray>

// The 2071-byte file that other tools read: a format 0 header with SMPTE timing of 1000 ticks
// per second, and one track whose body is the byte 4 followed by the record as it is in memory.
QByteArray recordMidiFile(const BankRecord& record);

// A Standard MIDI File that any sequencer plays into the controller: format 0, one track holding
// each SysEx message of `dump` as a SysEx event, `blockDelayMs` apart, then End of Track.
// Timing is 500 ticks per quarter note at the default tempo of 120 beats per minute, so one
// tick is one millisecond. Bytes of `dump` outside F0..F7 messages are left out.
QByteArray sysexMidiFile(const QByteArray& dump, int blockDelayMs);
