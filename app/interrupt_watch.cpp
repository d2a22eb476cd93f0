#include "interrupt_watch.h"

#include <atomic>
#include <csignal>
#include <utility>

namespace {

constexpr int kPollMs = 50;

std::atomic<bool> g_interrupted{false};

void noteInterrupt(int) {
    g_interrupted = true;
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void()> interrupted) {
    g_interrupted = false;
    std::signal(SIGINT, noteInterrupt);
    std::signal(SIGTERM, noteInterrupt);
    QObject::connect(&m_poll, &QTimer::timeout, [interrupted = std::move(interrupted)] {
        if (g_interrupted.exchange(false)) interrupted();
    });
    m_poll.start(kPollMs);
}

InterruptWatch::~InterruptWatch() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}
