#include "midi_device_list.h"

#include "built_in_dump.h"
#include "port_matching.h"
#include "rtmidi_backend.h"
#include "simulator_backend.h"

#include <algorithm>

std::optional<MidiApiChoice> parseMidiApi(std::string_view text) {
    if (text == "all") return MidiApiChoice::All;
    if (text == "alsa") return MidiApiChoice::Alsa;
    if (text == "jack") return MidiApiChoice::Jack;
    if (text == "sim") return MidiApiChoice::Sim;
    return std::nullopt;
}

MidiDeviceList::MidiDeviceList(std::vector<std::unique_ptr<MidiBackend>> backends)
    : m_backends(std::move(backends)), m_inputs(collect(true)), m_outputs(collect(false)) {}

MidiDeviceList::~MidiDeviceList() = default;

std::unique_ptr<MidiDeviceList> MidiDeviceList::create(MidiApiChoice choice) {
    std::vector<std::unique_ptr<MidiBackend>> backends;
    const bool all = choice == MidiApiChoice::All;
    if (all || choice == MidiApiChoice::Alsa)
        if (auto alsa = RtMidiBackend::create(RtMidiBackend::Api::Alsa))
            backends.push_back(std::move(alsa));
    if (all || choice == MidiApiChoice::Jack)
        if (auto jack = RtMidiBackend::create(RtMidiBackend::Api::Jack))
            backends.push_back(std::move(jack));
    if (all || choice == MidiApiChoice::Sim)
        backends.push_back(std::make_unique<SimulatorBackend>(loadBuiltInBank()));
    return std::make_unique<MidiDeviceList>(std::move(backends));
}

std::vector<MidiDevice> MidiDeviceList::collect(bool inputs) const {
    std::vector<MidiDevice> devices;
    std::vector<MidiDevice> simulated;
    for (const auto& backend : m_backends) {
        const bool isSimulator = dynamic_cast<SimulatorBackend*>(backend.get()) != nullptr;
        for (auto& name : inputs ? backend->inputNames() : backend->outputNames())
            if (!port_matching::isOwnPort(name)) // the program's own open ports
                (isSimulator ? simulated : devices).push_back({backend.get(), std::move(name)});
    }
    devices.insert(devices.end(), simulated.begin(), simulated.end());
    return devices;
}

std::vector<MidiDevice> MidiDeviceList::capped(const std::vector<MidiDevice>& devices,
                                               const std::string& kept) const {
    std::vector<MidiDevice> held;
    for (const int index :
         port_matching::capped(names(devices), simulated(devices), kept, kMaxDevices))
        held.push_back(devices[static_cast<std::size_t>(index)]);
    return held;
}

std::vector<MidiDevice> MidiDeviceList::inputs(const std::string& kept) const {
    return capped(m_inputs, kept);
}

std::vector<MidiDevice> MidiDeviceList::outputs(const std::string& kept) const {
    return capped(m_outputs, kept);
}

bool MidiDeviceList::refresh() {
    auto inputs = collect(true);
    auto outputs = collect(false);
    const auto same = [](const std::vector<MidiDevice>& a, const std::vector<MidiDevice>& b) {
        return names(a) == names(b);
    };
    if (same(inputs, m_inputs) && same(outputs, m_outputs)) return false;
    m_inputs = std::move(inputs);
    m_outputs = std::move(outputs);
    return true;
}

std::vector<std::string> MidiDeviceList::names(const std::vector<MidiDevice>& devices) {
    std::vector<std::string> result;
    for (const auto& device : devices)
        result.push_back(device.name);
    return result;
}

int MidiDeviceList::simulated(const std::vector<MidiDevice>& devices) const {
    const MidiBackend* sim = simulator();
    return static_cast<int>(std::count_if(
        devices.begin(), devices.end(), [sim](const auto& d) { return sim && d.backend == sim; }));
}

SimulatorBackend* MidiDeviceList::simulator() const {
    for (const auto& backend : m_backends)
        if (auto* simulator = dynamic_cast<SimulatorBackend*>(backend.get())) return simulator;
    return nullptr;
}
