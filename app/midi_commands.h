// The MIDI subcommands of vpt64: ports, sim, send and request.
#pragma once

#include "cli_commands.h"
#include "midi_device_list.h"

#include <optional>

struct CliArgs;

// Their lines of the usage text.
extern const char* const kMidiUsage;
// What PORT and API stand for, the last lines of the usage text.
extern const char* const kPortNotes;

// Runs `command` with its arguments when it is one of the MIDI subcommands; returns nothing
// when it is not one of them.
std::optional<int> runMidiCommand(const QString& command, const QStringList& args,
                                  const CliStreams& streams);

// The MIDI systems chosen with --api (all when absent); nothing, with `error` set, for a name
// that is none of them.
std::optional<MidiApiChoice> apiOf(const CliArgs& args, QString* error);

// A port given as its number in `vpt64 ports` or as a case-insensitive part of its name; the
// result is the index in `devices`.
std::optional<int> findPort(const std::vector<MidiDevice>& devices, const QString& portText,
                            QString* error);
