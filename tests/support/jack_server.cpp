#include "jack_server.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <jack/jack.h>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 10000;

void quiet(const char*) {}

QString uniqueName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("vpt64-test-%1-%2").arg(getpid()).arg(counter++);
}

} // namespace

bool jackServerAnswers(const QString& name) {
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    jack_status_t status{};
    const QByteArray server = name.toLocal8Bit();
    jack_client_t* client =
        jack_client_open("vpt64 test probe", jack_options_t(JackNoStartServer | JackServerName),
                         &status, server.constData());
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

JackServer::JackServer() : m_name(uniqueName()) {}

JackServer::~JackServer() { stop(); }

qint64 JackServer::pid() const { return m_process ? m_process->processId() : 0; }

bool JackServer::start() {
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(QStringLiteral("jackd"));
    m_process->setArguments({QStringLiteral("--no-realtime"), QStringLiteral("-n"), m_name,
                             QStringLiteral("-d"), QStringLiteral("dummy"), QStringLiteral("-r"),
                             QStringLiteral("48000"), QStringLiteral("-p"),
                             QStringLiteral("256")});
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
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
    m_process.reset();
    qputenv("JACK_DEFAULT_SERVER", m_previousDefault.toLocal8Bit());
}

void JackServer::kill() {
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}
