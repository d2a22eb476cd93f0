#include "jack_server.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <jack/jack.h>
#include <sys/prctl.h>

namespace {

constexpr int kStartTimeoutMs = 10000;
// libjack keeps a machine-wide table of 8 servers, and a server that dies without stopping keeps
// its entry until a server of the same name starts. The tests therefore take their names from a
// small pool, one name per test at a time, guarded by a lock file.
constexpr int kNameSlots = 4;

void quiet(const char*) {}

} // namespace

bool jackServerAnswers(const QString& name) {
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    jack_status_t status{};
    const QByteArray server = name.toLocal8Bit();
    jack_client_t* client =
        jack_client_open("vpt64 test probe", jack_options_t(JackNoStartServer | JackServerName),
                         &status, server.constData());
    if (!client) return false;
    jack_client_close(client);
    return true;
}

JackServer::JackServer() = default;

JackServer::~JackServer() {
    stop();
}

qint64 JackServer::pid() const {
    return m_process ? m_process->processId() : 0;
}

bool JackServer::start() {
    for (int slot = 0; slot < kNameSlots; ++slot) {
        auto lock = std::make_unique<QLockFile>(
            QDir::temp().filePath(QStringLiteral("vpt64-jack-test-%1.lock").arg(slot)));
        if (!lock->tryLock(0)) continue;
        m_name = QStringLiteral("vpt64-test-%1").arg(slot);
        if (jackServerAnswers(m_name)) continue; // somebody else's server of that name
        m_lock = std::move(lock);
        return startOn();
    }
    m_error = QStringLiteral("all %1 JACK server names for tests are in use").arg(kNameSlots);
    return false;
}

bool JackServer::startOn() {
    m_process = std::make_unique<QProcess>();
    // jackd ends with the test, even when the test crashes.
    m_process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process->setProgram(QStringLiteral("jackd"));
    m_process->setArguments({QStringLiteral("--no-realtime"), QStringLiteral("-n"), m_name,
                             QStringLiteral("-d"), QStringLiteral("dummy"), QStringLiteral("-r"),
                             QStringLiteral("48000"), QStringLiteral("-p"), QStringLiteral("256")});
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start();
    if (!m_process->waitForStarted()) {
        m_error = QStringLiteral("jackd did not start: %1").arg(m_process->errorString());
        return false;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!jackServerAnswers(m_name)) {
        if (deadline.hasExpired() || m_process->state() != QProcess::Running) {
            m_error = QStringLiteral("jackd -n %1 does not answer").arg(m_name);
            stop();
            return false;
        }
        QThread::msleep(20);
    }
    m_previousDefault = qEnvironmentVariable("JACK_DEFAULT_SERVER");
    qputenv("JACK_DEFAULT_SERVER", m_name.toLocal8Bit());
    return true;
}

void JackServer::stop() {
    if (!m_process) return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
    m_process.reset();
    m_lock.reset();
    qputenv("JACK_DEFAULT_SERVER", m_previousDefault.toLocal8Bit());
}

void JackServer::kill() {
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}
