#include "alsa_port_watch.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

AlsaPortWatch::AlsaPortWatch(PortsChangedHandler changed) : m_changed(std::move(changed)) {}

AlsaPortWatch::~AlsaPortWatch() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        static_cast<void>(write(m_wake, &one, sizeof one));
        m_thread.join();
    }
    if (m_wake >= 0) close(m_wake);
    if (m_seq) snd_seq_close(m_seq);
}

bool AlsaPortWatch::start() {
    if (snd_seq_open(&m_seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) {
        m_seq = nullptr;
        return false;
    }
    snd_seq_set_client_name(m_seq, "vPultron64 watch");
    // Written to only by the announcements: not offered to other programs.
    const int port = snd_seq_create_simple_port(m_seq, "announce",
                                                SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                                SND_SEQ_PORT_TYPE_APPLICATION);
    if (port < 0 ||
        snd_seq_connect_from(m_seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) < 0)
        return false;
    m_wake = eventfd(0, EFD_CLOEXEC);
    if (m_wake < 0) return false;
    m_thread = std::thread([this] { listen(); });
    return true;
}

void AlsaPortWatch::listen() {
    std::vector<pollfd> fds(std::size_t(snd_seq_poll_descriptors_count(m_seq, POLLIN)) + 1);
    snd_seq_poll_descriptors(m_seq, fds.data() + 1, unsigned(fds.size() - 1), POLLIN);
    fds[0] = {m_wake, POLLIN, 0};
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents & POLLIN) return;
        snd_seq_event_t* event = nullptr;
        while (snd_seq_event_input(m_seq, &event) >= 0 && event)
            handle(*event);
    }
}

void AlsaPortWatch::handle(const snd_seq_event_t& event) {
    // Only ports count: a client that goes announces the exit of each of its ports, and clients
    // without ports come and go whenever the lists are read, which must not read them again.
    switch (event.type) {
    case SND_SEQ_EVENT_PORT_START:
    case SND_SEQ_EVENT_PORT_EXIT:
    case SND_SEQ_EVENT_PORT_CHANGE:
        break;
    default:
        return;
    }
    if (m_changed) m_changed();
}
