// The installed program: `cmake --install` into a temporary prefix, the desktop files checked by
// their validators, the installed editor started with a temporary home, and the Debian package.
#include "box_config_page.h"
#include "editor_window.h"
#include "file_bytes.h"
#include "preset_selector.h"
#include "run_process.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kBuildDir = QStringLiteral(VPT64_BUILD_DIR);
const QString kAppId = QStringLiteral("io.sourceforge.vpultron64");

// Every file an installation holds, relative to the prefix.
const QStringList kInstalledFiles = {
    "bin/vpt64",
    "bin/vpultron64",
    "share/applications/" + kAppId + ".desktop",
    "share/doc/vpultron64/changelog.gz",
    "share/doc/vpultron64/copyright",
    "share/icons/hicolor/scalable/apps/" + kAppId + ".svg",
    "share/man/man1/vpt64.1.gz",
    "share/man/man1/vpultron64.1.gz",
    "share/metainfo/" + kAppId + ".metainfo.xml",
    "share/mime/packages/vpultron64.xml",
    "share/vpultron64/vpt64presets.ini",
};

QStringList filesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefixDir = new QTemporaryDir;
        const ProcessResult installed = runProcess(
            QStringLiteral("cmake"), {"--install", kBuildDir, "--prefix", prefixDir->path()});
        ASSERT_EQ(installed.exitCode, 0) << installed.err.toStdString();
    }
    static void TearDownTestSuite() { delete prefixDir; }
    static QString prefix(const QString& relative) { return prefixDir->filePath(relative); }

    static QTemporaryDir* prefixDir;
};
QTemporaryDir* Installed::prefixDir = nullptr;

TEST_F(Installed, TheTreeHoldsTheProgramsTheirFilesAndTheDesktopIntegration) {
    QStringList expected = kInstalledFiles;
    // The example desks, with the skins and pictures drawn for them at build time.
    const QString examples = kBuildDir + QStringLiteral("/app/customfiles");
    for (const QString& desk : filesUnder(examples))
        expected << "share/vpultron64/customfiles/" + desk;
    expected.sort();
    EXPECT_EQ(filesUnder(prefixDir->path()).join('\n').toStdString(),
              expected.join('\n').toStdString());
    EXPECT_TRUE(QFileInfo(prefix("share/vpultron64/customfiles")).isDir());
    for (const char* program : {"bin/vpt64", "bin/vpultron64"})
        EXPECT_TRUE(QFileInfo(prefix(program)).isExecutable()) << program;
    EXPECT_EQ(readFileBytes(prefix("share/vpultron64/vpt64presets.ini")),
              readFileBytes(QStringLiteral(VPT64_SOURCE_DIR "/resources/vpt64presets.ini")));
}

TEST_F(Installed, DesktopEntryMetainfoAndMimeTypesPassTheirValidators) {
    const struct {
        const char* program;
        QStringList args;
    } checks[] = {
        {"desktop-file-validate", {prefix("share/applications/" + kAppId + ".desktop")}},
        {"appstreamcli",
         {"validate", "--no-net", "--pedantic",
          prefix("share/metainfo/" + kAppId + ".metainfo.xml")}},
        {"update-mime-database", {prefix("share/mime")}},
    };
    for (const auto& check : checks) {
        const ProcessResult result = runProcess(QString::fromLatin1(check.program), check.args);
        EXPECT_EQ(result.exitCode, 0) << check.program << "\n"
                                      << result.out.toStdString() << result.err.toStdString();
    }
    const QByteArray globs = readFileBytes(prefix("share/mime/globs"));
    EXPECT_TRUE(globs.contains("audio/x-sysex:*.syx")) << globs.toStdString();
    EXPECT_TRUE(globs.contains("application/x-vpultron64-desk:*.vpt")) << globs.toStdString();
}

TEST_F(Installed, TheInstalledProgramStartsWithAFreshHomeAndWritesNothingThere) {
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    const ProcessResult shot =
        runProcess(prefix("bin/vpultron64"), {"--screenshot", home.filePath("shots")}, env);
    ASSERT_EQ(shot.exitCode, 0) << shot.err.toStdString();
    EXPECT_FALSE(QImage(home.filePath("shots/editor.png")).isNull());
    EXPECT_FALSE(QFileInfo::exists(home.filePath(".config/Pultron/vpt64presets.ini")));
}

TEST_F(Installed, TheEditorReadsTheShippedFilesAndStoresSettingsInTheUsersCopy) {
    QTemporaryDir home;
    const QString shipped = prefix("share/vpultron64/vpt64presets.ini");
    const QByteArray shippedBytes = readFileBytes(shipped);
    const QString userCopy = home.filePath(".config/Pultron/vpt64presets.ini");
    TForm1::Options options;
    options.folders = ProgramFolders::locate(prefix("bin"), home.filePath(".config"));
    TForm1 form(options);
    EXPECT_EQ(form.PresetFileName, shipped);
    EXPECT_GT(form.PotSettings->PotPresetName->count(), 0);
    EXPECT_EQ(form.VPTOpenDialogDir, prefix("share/vpultron64/customfiles"));

    form.BoxSettingsTabsheet->autoshow_customdesk_yes_no->setChecked(true);
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(form.PresetFileName, userCopy);
    EXPECT_EQ(readFileBytes(shipped), shippedBytes);
    const QByteArray written = readFileBytes(userCopy);
    EXPECT_TRUE(written.startsWith(shippedBytes.left(shippedBytes.indexOf("[CUSTOMDESK]"))));
    EXPECT_TRUE(written.contains("AUTOSHOW=1")) << written.toStdString();

    TForm1 again(options); // the next start reads the user's copy
    EXPECT_EQ(again.PresetFileName, userCopy);
    EXPECT_TRUE(again.BoxSettingsTabsheet->autoshow_customdesk_yes_no->isChecked());
}

TEST(DebianPackage, HasItsControlDataAndFilesAndPassesLintian) {
    QTemporaryDir out;
    const ProcessResult packed =
        runProcess(QStringLiteral("cpack"),
                   {"-G", "DEB", "-B", out.path(), "--config", kBuildDir + "/CPackConfig.cmake"},
                   QProcessEnvironment::systemEnvironment(), {}, 240000);
    ASSERT_EQ(packed.exitCode, 0) << packed.out.toStdString() << packed.err.toStdString();
    const QStringList debs = QDir(out.path()).entryList({"vpultron64_*.deb"}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << debs.join(' ').toStdString();
    const QString deb = out.filePath(debs.front());

    const ProcessResult control = runProcess(QStringLiteral("dpkg-deb"), {"--field", deb});
    for (const char* field : {"Package: vpultron64\n", "Version: " VPT64_VERSION "\n",
                              "Architecture: amd64\n", "Section: sound\n"})
        EXPECT_TRUE(control.out.contains(QString::fromLatin1(field))) << field;
    for (const char* dependency : {"libqt6widgets6", "librtmidi6", "libc6"})
        EXPECT_TRUE(control.out.contains(QString::fromLatin1(dependency))) << dependency;

    const ProcessResult contents = runProcess(QStringLiteral("dpkg-deb"), {"--contents", deb});
    for (const QString& file : kInstalledFiles)
        EXPECT_TRUE(contents.out.contains("./usr/" + file + "\n")) << file.toStdString();

    const ProcessResult lint =
        runProcess(QStringLiteral("lintian"), {"--no-tag-display-limit", deb},
                   QProcessEnvironment::systemEnvironment(), {}, 240000);
    EXPECT_EQ(lint.exitCode, 0) << lint.out.toStdString(); // warnings pass, errors fail
}

} // namespace
