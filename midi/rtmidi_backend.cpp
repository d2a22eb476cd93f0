#include "rtmidi_backend.h"

#include "alsa_port_watch.h"
#include "jack_server_watch.h"

#include <RtMidi.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <thread>

namespace {

constexpr const char* kClientName = "vPultron64";
// JACK silently drops a message that does not fit its ring buffer in one piece (16 KB).
constexpr std::size_t kJackMaxMessage = 16000;
constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kAllNotesOff = 123;

RtMidi::Api rtApi(RtMidiBackend::Api api) {
    return api == RtMidiBackend::Api::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

// RtMidi reports problems through this callback instead of stderr or exceptions.
void recordError(RtMidiError::Type, const std::string&, void* failed) {
    static_cast<std::atomic<bool>*>(failed)->store(true);
}

// libjack now and then refuses a client while other JACK servers run on the machine, and the
// RtMidi object then has none. Such an object is made again a few times before giving up.
constexpr int kClientAttempts = 5;
constexpr auto kClientRetryPause = std::chrono::milliseconds(10);

template <typename Port>
std::unique_ptr<Port> makeConnected(RtMidiBackend::Api api, const std::string& client,
                                    std::atomic<bool>& failed) {
    for (int attempt = 0; attempt < kClientAttempts; ++attempt) {
        auto port = std::make_unique<Port>(rtApi(api), client);
        port->setErrorCallback(recordError, &failed);
        failed = false;
        port->getPortCount(); // connects the client when the constructor could not
        if (!failed) return port;
        std::this_thread::sleep_for(kClientRetryPause);
    }
    return nullptr;
}

std::size_t maxMessage(RtMidiBackend::Api api) {
    return api == RtMidiBackend::Api::Jack ? kJackMaxMessage : SIZE_MAX;
}

template <typename Port> std::vector<std::string> portNames(Port& port) {
    std::vector<std::string> names;
    const unsigned count = port.getPortCount();
    for (unsigned i = 0; i < count; ++i)
        names.push_back(port.getPortName(i));
    return names;
}

template <typename Port> int indexOf(Port& port, const std::string& name) {
    const auto names = portNames(port);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

// Keeps a port registered with the JACK watch for as long as it is open. `peer`: the port it
// is connected to, empty for a port that others connect to.
class WatchRegistration {
public:
    WatchRegistration(std::shared_ptr<JackServerWatch> watch, PortLostHandler lost,
                      std::string peer)
        : m_watch(std::move(watch)) {
        if (m_watch && lost) m_id = m_watch->addListener(std::move(lost), std::move(peer));
    }
    ~WatchRegistration() {
        if (m_watch && m_id >= 0) m_watch->removeListener(m_id);
    }
    bool alive() const { return !m_watch || m_watch->alive(); }

private:
    std::shared_ptr<JackServerWatch> m_watch;
    int m_id = -1;
};

// What RtMidi's callbacks point at; it must outlive the RtMidi object.
struct PortContext {
    std::atomic<bool> failed{false};
    MidiInputHandler handler;
};

// libjack crashes when a port of a server that has gone away is closed, so the RtMidi object of
// such a port is abandoned instead, together with what its callbacks point at.
template <typename Port>
void closeOrAbandon(std::unique_ptr<Port>& port, std::unique_ptr<PortContext>& context,
                    const WatchRegistration& registration) {
    if (registration.alive()) {
        port.reset();
        return;
    }
    static_cast<void>(port.release());
    static_cast<void>(context.release());
}

void deliver(double, std::vector<unsigned char>* message, void* context) {
    if (message && !message->empty()) static_cast<PortContext*>(context)->handler(*message);
}

// An ALSA input port. The RtMidi object goes first, so that the handler is not running any more
// when what it points at goes.
class RtInputConnection : public MidiInputConnection {
public:
    RtInputConnection(std::unique_ptr<RtMidiIn> in, std::unique_ptr<PortContext> context)
        : m_context(std::move(context)), m_in(std::move(in)) {}

private:
    std::unique_ptr<PortContext> m_context;
    std::unique_ptr<RtMidiIn> m_in;
};

class RtOutputConnection : public MidiOutputConnection {
public:
    RtOutputConnection(std::unique_ptr<RtMidiOut> out, std::unique_ptr<PortContext> context,
                       std::shared_ptr<JackServerWatch> watch, PortLostHandler lost,
                       std::string peer, std::size_t maxMessage)
        : m_context(std::move(context)),
          m_registration(std::move(watch), std::move(lost), std::move(peer)), m_out(std::move(out)),
          m_maxMessage(maxMessage) {}
    ~RtOutputConnection() override { closeOrAbandon(m_out, m_context, m_registration); }

    bool sendShort(std::span<const std::uint8_t> bytes) override { return send(bytes); }
    bool sendSysEx(std::span<const std::uint8_t> bytes) override { return send(bytes); }
    void reset() override {
        for (std::uint8_t channel = 0; channel < 16; ++channel) {
            const std::uint8_t message[] = {std::uint8_t(kControlChange | channel), kAllNotesOff,
                                            0};
            send(message);
        }
    }

private:
    bool send(std::span<const std::uint8_t> bytes) {
        if (bytes.empty() || bytes.size() > m_maxMessage || !m_registration.alive()) return false;
        m_context->failed = false;
        m_out->sendMessage(bytes.data(), bytes.size());
        return !m_context->failed;
    }

    std::unique_ptr<PortContext> m_context;
    WatchRegistration m_registration;
    std::unique_ptr<RtMidiOut> m_out;
    std::size_t m_maxMessage;
};

// A JACK input port on a client of its own, handing over every JACK MIDI event as it comes.
// RtMidi would join the pieces of a long SysEx message into one, without a bound, before
// handing anything over; here each piece goes on at once and nothing is held.
class JackInputConnection : public MidiInputConnection {
public:
    JackInputConnection(jack_client_t* client, MidiInputHandler handler,
                        std::shared_ptr<JackServerWatch> watch, PortLostHandler lost,
                        std::string peer)
        : m_client(client), m_handler(std::move(handler)),
          m_registration(std::move(watch), std::move(lost), std::move(peer)) {
        jack_on_info_shutdown(m_client, clientShutDown, this);
    }
    // Closing the client first guarantees that the handler is not running any more. libjack
    // crashes when a client of a server that has gone away is closed: such a one is left. This
    // client may hear of the shutdown before the watch does, so both are asked.
    ~JackInputConnection() override {
        if (m_registration.alive() && !m_clientShutDown) jack_client_close(m_client);
    }

    bool start(const std::string& portName) {
        m_port = jack_port_register(m_client, portName.c_str(), JACK_DEFAULT_MIDI_TYPE,
                                    JackPortIsInput, 0);
        return m_port && jack_set_process_callback(m_client, process, this) == 0 &&
               jack_activate(m_client) == 0;
    }
    bool connectFrom(const std::string& source) {
        return jack_connect(m_client, source.c_str(), jack_port_name(m_port)) == 0;
    }

private:
    static void clientShutDown(jack_status_t, const char*, void* self) {
        static_cast<JackInputConnection*>(self)->m_clientShutDown = true;
    }
    static int process(jack_nframes_t frames, void* self) {
        auto* connection = static_cast<JackInputConnection*>(self);
        void* buffer = jack_port_get_buffer(connection->m_port, frames);
        const std::uint32_t count = jack_midi_get_event_count(buffer);
        for (std::uint32_t i = 0; i < count; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) == 0 && event.size > 0)
                connection->m_handler(std::span<const std::uint8_t>(event.buffer, event.size));
        }
        return 0;
    }

    jack_client_t* m_client;
    jack_port_t* m_port = nullptr;
    MidiInputHandler m_handler;
    WatchRegistration m_registration;
    std::atomic<bool> m_clientShutDown{false};
};

// libjack now and then refuses a client while other JACK servers run: asked again like above.
jack_client_t* openJackClient(const std::string& name) {
    for (int attempt = 0; attempt < kClientAttempts; ++attempt) {
        jack_status_t status{};
        if (jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status))
            return client;
        std::this_thread::sleep_for(kClientRetryPause);
    }
    return nullptr;
}

// `source`: the port to take input from; empty for a port that others connect to.
Opened<MidiInputConnection> openJackInput(const std::string& client, const std::string& portName,
                                          const std::string& source, MidiInputHandler handler,
                                          std::shared_ptr<JackServerWatch> watch,
                                          PortLostHandler lost) {
    if (!watch) return {nullptr, kPortOpenFailed};
    jack_client_t* jack = openJackClient(client);
    if (!jack) return {nullptr, kPortOpenFailed};
    if (!source.empty() && !jack_port_by_name(jack, source.c_str())) {
        jack_client_close(jack);
        return {nullptr, kPortNotFound};
    }
    auto connection = std::make_unique<JackInputConnection>(
        jack, std::move(handler), std::move(watch), std::move(lost), source);
    if (!connection->start(portName) || (!source.empty() && !connection->connectFrom(source)))
        return {nullptr, kPortOpenFailed};
    return {std::move(connection), kPortOk};
}

} // namespace

std::unique_ptr<RtMidiBackend> RtMidiBackend::create(Api api) {
    std::shared_ptr<JackServerWatch> watch;
    if (api == Api::Jack) {
        watch = JackServerWatch::connect();
        if (!watch) return nullptr;
    } else {
        std::error_code error;
        if (!std::filesystem::exists("/dev/snd/seq", error)) return nullptr;
        try {
            RtMidiIn probe(RtMidi::LINUX_ALSA, kClientName);
        } catch (const RtMidiError&) {
            return nullptr;
        }
    }
    return std::unique_ptr<RtMidiBackend>(new RtMidiBackend(api, std::move(watch)));
}

RtMidiBackend::RtMidiBackend(Api api, std::shared_ptr<JackServerWatch> watch)
    : m_api(api), m_watch(std::move(watch)) {}

RtMidiBackend::~RtMidiBackend() {
    if (m_watch) m_watch->setPortsChanged({});
}

void RtMidiBackend::watchPorts(PortsChangedHandler changed) {
    m_portsChanged = std::move(changed);
    if (m_api == Api::Jack) {
        if (m_watch) m_watch->setPortsChanged(m_portsChanged);
        return;
    }
    m_alsaWatch.reset();
    if (!m_portsChanged) return;
    m_alsaWatch = std::make_unique<AlsaPortWatch>(m_portsChanged);
    if (!m_alsaWatch->start()) m_alsaWatch.reset();
}

std::string RtMidiBackend::apiName() const {
    return m_api == Api::Jack ? "JACK" : "ALSA";
}

std::shared_ptr<JackServerWatch> RtMidiBackend::liveWatch() {
    if (m_api == Api::Jack && (!m_watch || !m_watch->alive())) {
        m_watch = JackServerWatch::connect();
        if (m_watch) m_watch->setPortsChanged(m_portsChanged);
    }
    return m_watch;
}

// JACK's ports are read on the watch's client: no client comes and goes for a look at them.
std::vector<std::string> RtMidiBackend::inputNames() {
    if (m_api == Api::Jack) {
        const auto watch = liveWatch();
        return watch ? watch->midiPorts(true) : std::vector<std::string>{};
    }
    try {
        std::atomic<bool> failed{false};
        const auto lister = makeConnected<RtMidiIn>(m_api, kClientName, failed);
        return lister ? portNames(*lister) : std::vector<std::string>{};
    } catch (const RtMidiError&) {
        return {};
    }
}

std::vector<std::string> RtMidiBackend::outputNames() {
    if (m_api == Api::Jack) {
        const auto watch = liveWatch();
        return watch ? watch->midiPorts(false) : std::vector<std::string>{};
    }
    try {
        std::atomic<bool> failed{false};
        const auto lister = makeConnected<RtMidiOut>(m_api, kClientName, failed);
        return lister ? portNames(*lister) : std::vector<std::string>{};
    } catch (const RtMidiError&) {
        return {};
    }
}

Opened<MidiInputConnection>
RtMidiBackend::openInput(const std::string& name, MidiInputHandler handler, PortLostHandler lost) {
    if (m_api == Api::Jack)
        return openJackInput(kClientName, "MIDI In", name, std::move(handler), liveWatch(),
                             std::move(lost));
    return makeInput(kClientName, std::move(handler), [&](RtMidiIn& in) {
        const int index = indexOf(in, name);
        if (index < 0) return kPortNotFound;
        in.openPort(static_cast<unsigned>(index), "MIDI In");
        return in.isPortOpen() ? kPortOk : kPortOpenFailed;
    });
}

Opened<MidiOutputConnection> RtMidiBackend::openOutput(const std::string& name,
                                                       PortLostHandler lost) {
    return makeOutput(kClientName, std::move(lost), name, [&](RtMidiOut& out) {
        const int index = indexOf(out, name);
        if (index < 0) return kPortNotFound;
        out.openPort(static_cast<unsigned>(index), "MIDI Out");
        return out.isPortOpen() ? kPortOk : kPortOpenFailed;
    });
}

Opened<MidiInputConnection> RtMidiBackend::openVirtualInput(const std::string& client,
                                                            const std::string& port,
                                                            MidiInputHandler handler,
                                                            PortLostHandler lost) {
    if (m_api == Api::Jack)
        return openJackInput(client, port, {}, std::move(handler), liveWatch(), std::move(lost));
    return makeInput(client, std::move(handler), [&](RtMidiIn& in) {
        in.openVirtualPort(port);
        return kPortOk;
    });
}

Opened<MidiOutputConnection> RtMidiBackend::openVirtualOutput(const std::string& client,
                                                              const std::string& port,
                                                              PortLostHandler lost) {
    return makeOutput(client, std::move(lost), {}, [&](RtMidiOut& out) {
        out.openVirtualPort(port);
        return kPortOk;
    });
}

Opened<MidiInputConnection> RtMidiBackend::makeInput(const std::string& client,
                                                     MidiInputHandler handler,
                                                     const std::function<int(RtMidiIn&)>& open) {
    try {
        auto context = std::make_unique<PortContext>();
        context->handler = std::move(handler);
        auto in = makeConnected<RtMidiIn>(m_api, client, context->failed);
        if (!in) return {nullptr, kPortOpenFailed};
        in->ignoreTypes(false, false, false); // SysEx, clock and active sensing all pass
        in->setCallback(deliver, context.get());
        if (const int result = open(*in); result != kPortOk) return {nullptr, result};
        if (context->failed) return {nullptr, kPortOpenFailed};
        return {std::make_unique<RtInputConnection>(std::move(in), std::move(context)), kPortOk};
    } catch (const RtMidiError&) {
        return {nullptr, kPortOpenFailed};
    }
}

Opened<MidiOutputConnection> RtMidiBackend::makeOutput(const std::string& client,
                                                       PortLostHandler lost,
                                                       const std::string& peer,
                                                       const std::function<int(RtMidiOut&)>& open) {
    auto watch = liveWatch();
    if (m_api == Api::Jack && !watch) return {nullptr, kPortOpenFailed};
    try {
        auto context = std::make_unique<PortContext>();
        auto out = makeConnected<RtMidiOut>(m_api, client, context->failed);
        if (!out) return {nullptr, kPortOpenFailed};
        if (const int result = open(*out); result != kPortOk) return {nullptr, result};
        if (context->failed) return {nullptr, kPortOpenFailed};
        return {std::make_unique<RtOutputConnection>(std::move(out), std::move(context),
                                                     std::move(watch), std::move(lost), peer,
                                                     maxMessage(m_api)),
                kPortOk};
    } catch (const RtMidiError&) {
        return {nullptr, kPortOpenFailed};
    }
}
