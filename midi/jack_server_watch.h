// JackServerWatch: finds out whether a JACK server answers, without ever starting one, and
// tells the open ports when that server goes away.
#pragma once

#include "midi_backend.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

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

    // The handler runs on a JACK thread when the server shuts down.
    int addListener(PortLostHandler handler);
    void removeListener(int id);

    // Run by libjack's shutdown notice: marks the server gone and tells every listener.
    void serverStopped(const std::string& reason);

private:
    explicit JackServerWatch(jack_client_t* client);

    jack_client_t* m_client;
    std::atomic<bool> m_alive{true};
    std::mutex m_mutex;
    std::map<int, PortLostHandler> m_listeners;
    int m_nextId = 0;
};
