// JackServer: a private JACK server on the dummy backend for one test, stopped by its process
// id when the test ends. Clients of this process find it through JACK_DEFAULT_SERVER.
#pragma once

#include <QString>
#include <memory>

class QLockFile;
class QProcess;

class JackServer {
public:
    JackServer();
    ~JackServer();

    // Starts jackd and waits until it answers; false (with the reason in error()) otherwise.
    bool start();
    // Ends jackd (SIGTERM, then SIGKILL) and waits for it.
    void stop();
    // Kills jackd without warning, as a crash would. Its entry in libjack's server table stays
    // until a server of the same name starts again.
    void kill();

    const QString& name() const { return m_name; }
    const QString& error() const { return m_error; }
    qint64 pid() const;

private:
    bool startOn();

    QString m_name;
    QString m_error;
    QString m_previousDefault;
    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QLockFile> m_lock;
};

// True when a JACK server of this name answers a client now.
bool jackServerAnswers(const QString& name);
