// SimProcess: `vpt64 sim` running as a separate MIDI peer on the test's JACK server.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QProcess;

class SimProcess {
public:
    SimProcess();
    ~SimProcess();

    // Starts `vpt64 sim --api jack ARGS` and waits for its ready line. With `outputFile`, what
    // it prints goes there instead of a pipe, so that it never waits for the test to read.
    bool start(const QStringList& args, const QString& outputFile = {});
    // Stops it with SIGTERM, as Ctrl+C would, and returns its exit code.
    int stop();
    // Everything it printed so far.
    QString output();
    const QString& error() const { return m_error; }

    static QString program();

private:
    std::unique_ptr<QProcess> m_process;
    QByteArray m_output;
    QString m_outputFile;
    QString m_error;
};

// Runs `vpt64 ARGS` to its end with its standard output in `output` and its error output in
// `errors`; returns the exit code (-1 when it did not finish in time).
int runVpt64(const QStringList& args, QString* output, QString* errors = nullptr,
             int timeoutMs = 30000);
