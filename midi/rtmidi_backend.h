// RtMidiBackend: the machine's MIDI ports through RtMidi, over the ALSA sequencer or over JACK.
// JACK input ports use libjack directly, so that long SysEx messages are never held whole.
#pragma once

#include "midi_backend.h"

#include <functional>
#include <memory>

class AlsaPortWatch;
class JackServerWatch;
class RtMidiIn;
class RtMidiOut;

class RtMidiBackend : public MidiBackend {
public:
    enum class Api { Alsa, Jack };

    // The backend, or nullptr when its MIDI system is not there: ALSA without /dev/snd/seq,
    // JACK without a server that answers (one is never started).
    static std::unique_ptr<RtMidiBackend> create(Api api);
    ~RtMidiBackend() override;

    std::string apiName() const override;
    std::vector<std::string> inputNames() override;
    std::vector<std::string> outputNames() override;
    Opened<MidiInputConnection> openInput(const std::string& name, MidiInputHandler handler,
                                          PortLostHandler lost) override;
    Opened<MidiOutputConnection> openOutput(const std::string& name, PortLostHandler lost) override;
    // JACK's port registration notices, or the ALSA sequencer's System:Announce.
    void watchPorts(PortsChangedHandler changed) override;

    // Ports that other programs connect to: `client` is the name others see the ports under.
    Opened<MidiInputConnection> openVirtualInput(const std::string& client, const std::string& port,
                                                 MidiInputHandler handler,
                                                 PortLostHandler lost = {});
    Opened<MidiOutputConnection> openVirtualOutput(const std::string& client,
                                                   const std::string& port,
                                                   PortLostHandler lost = {});

private:
    RtMidiBackend(Api api, std::shared_ptr<JackServerWatch> watch);
    // The JACK watch, reconnected when the server came back after it had stopped; nullptr when
    // no server answers now.
    std::shared_ptr<JackServerWatch> liveWatch();
    // `open` opens the port on the new RtMidi object and returns a PortResult. `peer`: the port
    // an output is connected to, watched for disappearing; empty for a virtual port.
    Opened<MidiInputConnection> makeInput(const std::string& client, MidiInputHandler handler,
                                          const std::function<int(RtMidiIn&)>& open);
    Opened<MidiOutputConnection> makeOutput(const std::string& client, PortLostHandler lost,
                                            const std::string& peer,
                                            const std::function<int(RtMidiOut&)>& open);

    Api m_api;
    std::shared_ptr<JackServerWatch> m_watch;
    PortsChangedHandler m_portsChanged;
    std::unique_ptr<AlsaPortWatch> m_alsaWatch;
};
