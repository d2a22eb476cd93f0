// MidiDeviceList: the input and output ports of every available MIDI system in one stable order
// (ALSA, JACK, then the built-in simulator last), at most 12 of each, as the port selectors
// list them.
#pragma once

#include "midi_backend.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class SimulatorBackend;

struct MidiDevice {
    MidiBackend* backend = nullptr;
    std::string name;
};

enum class MidiApiChoice { All, Alsa, Jack, Sim };

// "all", "alsa", "jack" or "sim".
std::optional<MidiApiChoice> parseMidiApi(std::string_view text);

class MidiDeviceList {
public:
    static constexpr int kMaxDevices = 12;

    // The backends in listing order; the device lists are read here and by refresh().
    explicit MidiDeviceList(std::vector<std::unique_ptr<MidiBackend>> backends);
    ~MidiDeviceList();

    // The MIDI systems that are there now, with the simulator holding the built-in bank.
    static std::unique_ptr<MidiDeviceList> create(MidiApiChoice choice);

    const std::vector<MidiDevice>& inputs() const { return m_inputs; }
    const std::vector<MidiDevice>& outputs() const { return m_outputs; }
    const std::vector<std::unique_ptr<MidiBackend>>& backends() const { return m_backends; }
    SimulatorBackend* simulator() const;
    // Reads the device lists again; true when either of them changed.
    bool refresh();
    // The names of `devices`, in order.
    static std::vector<std::string> names(const std::vector<MidiDevice>& devices);
    // How many of `devices` are the simulator's (they come last).
    int simulated(const std::vector<MidiDevice>& devices) const;

private:
    std::vector<MidiDevice> collect(bool inputs) const;

    std::vector<std::unique_ptr<MidiBackend>> m_backends;
    std::vector<MidiDevice> m_inputs;
    std::vector<MidiDevice> m_outputs;
};
