// JackServerWatch: finds out whether a JACK server answers, without ever starting one, and
// tells the open ports when that server goes away, or when the peer port one of them is
// connected to disappears while the server stays up.
#pragma once

#include "midi_backend.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _jack_client jack_client_t;

class JackServerWatch {
public:
    // A watch on the server that JACK_DEFAULT_SERVER names (or the default server), or nullptr
    // when no server answers.
    static std::shared_ptr<JackServerWatch> connect();
    ~JackServerWatch();

    JackServerWatch(const JackServerWatch&) = delete;
    JackServerWatch& operator=(const JackServerWatch&) = delete;

    bool alive() const { return m_alive; }

    // The handler runs on a JACK thread when the server shuts down, and when the port named
    // `peer` ("client:port"), if given, is unregistered.
    int addListener(PortLostHandler handler, std::string peer = {});
    void removeListener(int id);

    // Run by libjack's shutdown notice: marks the server gone and tells every listener.
    void serverStopped(const std::string& reason);
    // Run by libjack's port registration notice: tells the listeners of a port that has gone.
    void portUnregistered(const std::string& name);
    // Runs `changed` on a JACK thread whenever a port is registered or unregistered, and when the
    // server stops; an empty one stops that.
    void setPortsChanged(PortsChangedHandler changed);
    void portsChanged();
    // The full names of the server's MIDI ports that send (`sources`) or receive.
    std::vector<std::string> midiPorts(bool sources) const;

    jack_client_t* client() const { return m_client; }

private:
    explicit JackServerWatch(jack_client_t* client);

    jack_client_t* m_client;
    std::atomic<bool> m_alive{true};
    std::mutex m_mutex;
    struct Listener {
        PortLostHandler handler;
        std::string peer;
    };
    std::map<int, Listener> m_listeners;
    int m_nextId = 0;
    PortsChangedHandler m_portsChanged;
};
