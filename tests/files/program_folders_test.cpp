#include "dump_file.h"
#include "file_bytes.h"
#include "program_folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ProgramFoldersTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return dir.filePath(relative); }
    void make(const QString& relative, const QByteArray& bytes = "[POTPRESETS]\n") {
        QDir().mkpath(QFileInfo(path(relative)).path());
        ASSERT_TRUE(writeFileBytes(path(relative), bytes));
    }
    ProgramFolders locate() const { return ProgramFolders::locate(path("bin"), path("config")); }

    QTemporaryDir dir;
};

TEST_F(ProgramFoldersTest, TheBuildTreeUsesTheProgramsFolderAndWritesInPlace) {
    make("bin/vpt64presets.ini");
    make("share/vpultron64/vpt64presets.ini"); // beside the program wins
    const ProgramFolders folders = locate();
    EXPECT_FALSE(folders.installed());
    EXPECT_EQ(folders.shipped, path("bin"));
    EXPECT_EQ(folders.settingsDir(), path("bin"));
    EXPECT_EQ(folders.writableSettingsFile(path("bin/vpt64presets.ini")),
              path("bin/vpt64presets.ini"));

    QDir().mkpath(path("elsewhere/bin")); // nothing shipped anywhere: still the program's folder
    EXPECT_EQ(ProgramFolders::locate(path("elsewhere/bin"), path("config")).shipped,
              path("elsewhere/bin"));
}

TEST_F(ProgramFoldersTest, AnInstallationReadsItsShareFolderAndWritesTheUsersCopy) {
    make("share/vpultron64/vpt64presets.ini", "[POTPRESETS]\nB007007F=Volume\n");
    QDir().mkpath(path("bin"));
    const ProgramFolders folders = locate();
    ASSERT_TRUE(folders.installed());
    EXPECT_EQ(folders.shipped, path("share/vpultron64"));
    EXPECT_EQ(folders.settingsDir(), path("share/vpultron64"));
    EXPECT_EQ(folders.userSettingsFile(), path("config/Pultron/vpt64presets.ini"));

    const QString shippedFile = path("share/vpultron64/vpt64presets.ini");
    QFile::setPermissions(shippedFile, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(folders.writableSettingsFile(shippedFile), folders.userSettingsFile());
    EXPECT_EQ(readFileBytes(folders.userSettingsFile()), "[POTPRESETS]\nB007007F=Volume\n");
    EXPECT_TRUE(QFileInfo(folders.userSettingsFile()).isWritable());
    EXPECT_EQ(folders.settingsDir(), path("config/Pultron"));

    // The user's copy is made once; later writes keep what it holds.
    make("config/Pultron/vpt64presets.ini", "[CUSTOMDESK]\nAUTOSHOW=1\n");
    EXPECT_EQ(folders.writableSettingsFile(shippedFile), folders.userSettingsFile());
    EXPECT_EQ(readFileBytes(folders.userSettingsFile()), "[CUSTOMDESK]\nAUTOSHOW=1\n");
    // A settings file named on the command line is written where it is.
    EXPECT_EQ(folders.writableSettingsFile(path("mine.ini")), path("mine.ini"));
}

TEST_F(ProgramFoldersTest, AUsersCopyThatCannotBeMadeGivesNoFile) {
    make("share/vpultron64/vpt64presets.ini");
    QDir().mkpath(path("bin"));
    make("config"); // a file where the configuration folder should be
    const ProgramFolders folders = locate();
    EXPECT_EQ(folders.writableSettingsFile(path("share/vpultron64/vpt64presets.ini")), "");
}

TEST(DumpFileKind, ASysexDumpIsKnownByItsFirstByte) {
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
        bool dump;
    } cases[] = {{"bank.syx", QByteArray::fromHex("f000007e43"), true},
                 {"one.syx", QByteArray::fromHex("f0"), true},
                 {"presets.ini", "[POTPRESETS]\n", false},
                 {"empty.syx", "", false},
                 {"late.syx", QByteArray::fromHex("00f0"), false}};
    for (const auto& c : cases) {
        const QString file = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(writeFileBytes(file, c.bytes));
        EXPECT_EQ(isSysexDumpFile(file), c.dump) << c.name;
    }
    EXPECT_FALSE(isSysexDumpFile(dir.filePath("missing.syx")));
    EXPECT_FALSE(isSysexDumpFile(dir.path()));
    EXPECT_FALSE(isSysexDumpFile(QString()));
}

} // namespace
