#include "program_folders.h"

#include "preset_library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString presetsIn(const QString& dir) {
    return QDir(dir).filePath(preset_file::kDefaultFileName);
}

bool sameFile(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

ProgramFolders ProgramFolders::locate(const QString& programDir, const QString& configHome) {
    const QString shipped = QDir::cleanPath(programDir + QStringLiteral("/" VPT64_SHARE_FROM_BIN));
    // The build tree keeps the presets beside the program; an installation does not.
    if (QFileInfo::exists(presetsIn(programDir)) || !QFileInfo::exists(presetsIn(shipped)))
        return {programDir, {}};
    return {shipped, QDir(configHome).filePath(QStringLiteral("Pultron"))};
}

ProgramFolders ProgramFolders::current() {
    return locate(QCoreApplication::applicationDirPath(),
                  QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString ProgramFolders::settingsDir() const {
    return installed() && QFileInfo::exists(presetsIn(userSettingsDir)) ? userSettingsDir : shipped;
}

QString ProgramFolders::userSettingsFile() const {
    return installed() ? presetsIn(userSettingsDir) : QString();
}

QString ProgramFolders::writableSettingsFile(const QString& settingsFile) const {
    if (!installed() || !sameFile(settingsFile, presetsIn(shipped))) return settingsFile;
    const QString userCopy = userSettingsFile();
    if (QFileInfo::exists(userCopy)) return userCopy;
    if (!QDir().mkpath(userSettingsDir) || !QFile::copy(settingsFile, userCopy)) return {};
    // The copy keeps the installed file's read-only mode; the user's copy must be writable.
    QFile(userCopy).setPermissions(QFile::permissions(userCopy) | QFile::WriteOwner);
    return userCopy;
}
