#include "interrupt_watch.h"

#include <QCoreApplication>
#include <atomic>
#include <csignal>
#include <memory>
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

std::function<void(const std::string& reason)>
endOnPortLoss(QObject& context, std::function<void(const std::string&)> say, std::string ports,
              int exitCode) {
    auto said = std::make_shared<bool>(false); // looked at on the context's thread only
    return [&context, say = std::move(say), ports = std::move(ports), exitCode,
            said](const std::string& reason) {
        QMetaObject::invokeMethod(
            &context,
            [=] {
                if (std::exchange(*said, true)) return;
                say("Lost the " + ports + " - " + reason + "!");
                QCoreApplication::exit(exitCode);
            },
            Qt::QueuedConnection);
    };
}
