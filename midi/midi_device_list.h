// MidiDeviceList: the input and output ports of every available MIDI system in one stable order
// (ALSA, JACK, then the built-in simulator last), and the at most 12 of each that the port
// selectors list.
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

    // Every port of the machine, however many, the simulator's last: what comes and goes.
    const std::vector<MidiDevice>& everyInput() const { return m_inputs; }
    const std::vector<MidiDevice>& everyOutput() const { return m_outputs; }
    // At most kMaxDevices of them, as a port table and its selector list them: the simulator's
    // always, `kept` (the chosen port) wherever it stands, and the others in order while there
    // is room.
    std::vector<MidiDevice> inputs(const std::string& kept = {}) const;
    std::vector<MidiDevice> outputs(const std::string& kept = {}) const;
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
    std::vector<MidiDevice> capped(const std::vector<MidiDevice>& devices,
                                   const std::string& kept) const;

    std::vector<std::unique_ptr<MidiBackend>> m_backends;
    std::vector<MidiDevice> m_inputs;
    std::vector<MidiDevice> m_outputs;
};
