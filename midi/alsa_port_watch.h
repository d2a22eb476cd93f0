// AlsaPortWatch: hears the ALSA sequencer announce clients and ports coming and going (on
// System:Announce) and says so through a handler, on a thread of its own.
#pragma once

#include "midi_backend.h"

#include <thread>

typedef struct _snd_seq snd_seq_t;
typedef struct snd_seq_event snd_seq_event_t;

class AlsaPortWatch {
public:
    explicit AlsaPortWatch(PortsChangedHandler changed);
    // Stops listening; the handler runs no more once it returns.
    ~AlsaPortWatch();

    AlsaPortWatch(const AlsaPortWatch&) = delete;
    AlsaPortWatch& operator=(const AlsaPortWatch&) = delete;

    // Subscribes to System:Announce and starts listening; false without a sequencer.
    bool start();
    // One announcement: runs the handler when it may change the lists of ports.
    void handle(const snd_seq_event_t& event);

private:
    void listen();

    PortsChangedHandler m_changed;
    snd_seq_t* m_seq = nullptr;
    int m_wake = -1; // an eventfd that ends the listening thread
    std::thread m_thread;
};
