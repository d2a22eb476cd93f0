#include "sim_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>

namespace {
constexpr int kReadyTimeoutMs = 10000;
} // namespace

QString SimProcess::program() {
    return QStringLiteral(VPT64_CLI);
}

SimProcess::SimProcess() = default;

SimProcess::~SimProcess() {
    stop();
}

bool SimProcess::start(const QStringList& args, const QString& outputFile) {
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_output.clear();
    m_outputFile = outputFile;
    if (!outputFile.isEmpty()) m_process->setStandardOutputFile(outputFile);
    m_process->start(
        program(),
        QStringList{QStringLiteral("sim"), QStringLiteral("--api"), QStringLiteral("jack")} + args);
    const QDeadlineTimer deadline(kReadyTimeoutMs);
    if (!m_outputFile.isEmpty()) {
        while (!output().contains(QStringLiteral(" ready on "))) {
            if (deadline.hasExpired() || m_process->waitForFinished(50)) {
                m_error = QStringLiteral("vpt64 sim did not get ready: %1").arg(output());
                return false;
            }
        }
        return true;
    }
    while (!m_output.contains(" ready on ")) {
        if (deadline.hasExpired() || !m_process->waitForReadyRead(100)) {
            if (m_process->state() == QProcess::NotRunning || deadline.hasExpired()) {
                m_output += m_process->readAll();
                m_error = QStringLiteral("vpt64 sim did not get ready: %1")
                              .arg(QString::fromLocal8Bit(m_output));
                return false;
            }
            continue;
        }
        m_output += m_process->readAll();
    }
    return true;
}

int SimProcess::stop() {
    if (!m_process) return -1;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }
    if (m_outputFile.isEmpty()) m_output += m_process->readAll();
    const int code = m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
    m_process.reset();
    return code;
}

QString SimProcess::output() {
    if (!m_outputFile.isEmpty()) {
        QFile file(m_outputFile);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }
    if (m_process) {
        while (m_process->waitForReadyRead(50))
            m_output += m_process->readAll();
        m_output += m_process->readAll();
    }
    return QString::fromLocal8Bit(m_output);
}

int runVpt64(const QStringList& args, QString* output, QString* errors, int timeoutMs) {
    QProcess process;
    process.start(SimProcess::program(), args);
    const bool finished = process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (errors) *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
