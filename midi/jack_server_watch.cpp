#include "jack_server_watch.h"

#include "port_matching.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <jack/jack.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kAttempts = 5;
constexpr auto kRetryPause = std::chrono::milliseconds(10);

// libjack reports a missing server on stderr; the port lists already say all there is to say.
void quiet(const char*) {}

// Neither this program nor RtMidi may start a server as a side effect of looking. Set while
// the program still has one thread: the ports are listed on a worker thread while the window is
// built, and a setenv() there crashed fontconfig's getenv() on the GUI thread.
const bool g_noServerStarts = setenv("JACK_NO_START_SERVER", "1", 0) == 0;

void prepareLibJack() {
    static std::once_flag once;
    std::call_once(once, [] {
        jack_set_error_function(quiet);
        jack_set_info_function(quiet);
    });
}

// A running server has its sockets in JACK's temporary folder: "jack_<server>_<uid>_0" (JACK 2)
// or in a folder "jack-<uid>" (JACK 1). Without any of them no server can answer, and libjack is not
// asked: opening a client sets up its metadata database even when no server is there, which
// costs start-up time and memory. A folder that cannot be read is asked about as before.
bool serverMayRun() {
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    const std::string jack2 = std::string("jack_") + (server && *server ? server : "default") + "_";
    const std::string jack1 = "jack-" + std::to_string(getuid());
    const char* tmp = std::getenv("JACK_TMPDIR");
    std::error_code error;
    std::filesystem::directory_iterator entries(tmp && *tmp ? tmp : "/dev/shm", error);
    if (error) return true;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(jack2) || name == jack1) return true;
    }
    return false;
}

void onJackShutdown(jack_status_t, const char*, void* watch) {
    static_cast<JackServerWatch*>(watch)->serverStopped("the JACK server has stopped");
}

void onPortRegistration(jack_port_id_t id, int registered, void* watch) {
    auto* self = static_cast<JackServerWatch*>(watch);
    // The port can still be looked up while its unregistration is announced.
    if (const jack_port_t* port = jack_port_by_id(self->client(), id); port && !registered)
        self->portUnregistered(jack_port_name(port));
    self->portsChanged();
}

} // namespace

std::shared_ptr<JackServerWatch> JackServerWatch::connect() {
    if (!serverMayRun()) return nullptr;
    prepareLibJack();
    jack_client_t* client = nullptr;
    for (int attempt = 0; attempt < kAttempts && !client; ++attempt) {
        jack_status_t status{};
        client = jack_client_open("vPultron64 watch", JackNoStartServer, &status);
        // No server at all ends the search at once; a server that did not answer this time,
        // which happens while other JACK servers run on the machine, is asked again.
        if (!client && !(status & JackServerError)) return nullptr;
        if (!client) std::this_thread::sleep_for(kRetryPause);
    }
    if (!client) return nullptr;
    std::shared_ptr<JackServerWatch> watch(new JackServerWatch(client));
    jack_on_info_shutdown(client, onJackShutdown, watch.get());
    jack_set_port_registration_callback(client, onPortRegistration, watch.get());
    if (jack_activate(client) != 0) return nullptr;
    return watch;
}

JackServerWatch::JackServerWatch(jack_client_t* client) : m_client(client) {}

JackServerWatch::~JackServerWatch() {
    // Closing a client of a server that has gone away crashes libjack; it is left as it is.
    if (m_alive) jack_client_close(m_client);
}

void JackServerWatch::serverStopped(const std::string& reason) {
    m_alive = false;
    std::lock_guard lock(m_mutex);
    for (auto& [id, listener] : m_listeners)
        listener.handler(reason);
    if (m_portsChanged) m_portsChanged(); // every port of the server has gone with it
}

void JackServerWatch::setPortsChanged(PortsChangedHandler changed) {
    std::lock_guard lock(m_mutex);
    m_portsChanged = std::move(changed);
}

void JackServerWatch::portsChanged() {
    std::lock_guard lock(m_mutex);
    if (m_portsChanged) m_portsChanged();
}

std::vector<std::string> JackServerWatch::midiPorts(bool sources) const {
    std::vector<std::string> names;
    if (!m_alive) return names;
    const char** ports = jack_get_ports(m_client, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                        sources ? JackPortIsOutput : JackPortIsInput);
    for (const char** port = ports; port && *port; ++port)
        names.emplace_back(*port);
    jack_free(ports);
    return names;
}

void JackServerWatch::portUnregistered(const std::string& name) {
    std::lock_guard lock(m_mutex);
    for (auto& [id, listener] : m_listeners)
        if (listener.peer == name) listener.handler(port_matching::kGoneAway);
}

int JackServerWatch::addListener(PortLostHandler handler, std::string peer) {
    std::lock_guard lock(m_mutex);
    m_listeners.emplace(m_nextId, Listener{std::move(handler), std::move(peer)});
    return m_nextId++;
}

void JackServerWatch::removeListener(int id) {
    std::lock_guard lock(m_mutex);
    m_listeners.erase(id);
}
