// Runs a program as a whole process and collects its exit code and both output streams.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

struct ProcessResult {
    int exitCode = -1; // -1 when the program crashed or did not end in time
    QString out;
    QString err;
};

inline ProcessResult
runProcess(const QString& program, const QStringList& args,
           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
           const QString& workDir = {}, int timeoutMs = 60000) {
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workDir.isEmpty()) process.setWorkingDirectory(workDir);
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}
