// The transfer settings kept between runs, in a settings file of the test's own.
#include "read_only_folder.h"
#include "registry_settings.h"

#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace registry_settings;

namespace {

struct RegistrySettings : ::testing::Test {
    QTemporaryDir dir;
    QSettings settings{dir.filePath("vPultron64.conf"), QSettings::IniFormat};
};

} // namespace

TEST_F(RegistrySettings, FirstRunGivesTheDefaultsAndWritingStoresTexts) {
    const TransferSettings first = read(settings);
    EXPECT_EQ(first.midiInPort, 0);
    EXPECT_EQ(first.midiOutPort, 0);
    EXPECT_EQ(first.blockDelay, 750);
    EXPECT_EQ(first.deviceId, 0);
    EXPECT_EQ(first.patternNumber, 1);
    EXPECT_TRUE(first.savePath.isEmpty() && first.openPath.isEmpty());

    write(settings, {-1, 2, {}, "Synth", 5, 7, 128, "/save", "/open"});
    QSettings reread(settings.fileName(), QSettings::IniFormat);
    const QStringList names{"MIDI_IN_PORT", "MIDI_OUT_PORT",     "BLOCK_DELAY",
                            "DEVICE_ID",    "PATTERN_NUMBER",    "SAVE_PATH",
                            "OPEN_PATH",    "MIDI_IN_PORT_NAME", "MIDI_OUT_PORT_NAME"};
    const QStringList texts{"-1", "2", "5", "7", "128", "/save", "/open", "", "Synth"};
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(reread.value(names[i]).toString(), texts[i]) << names[i].toStdString();
}

TEST_F(RegistrySettings, TextsThatAreNotDecimalNumbersGiveTheDefaults) {
    for (const char* text : {"", "abc", "0x10", "$10", "1.5", "99999999999", "12abc"}) {
        for (const char* name : {"MIDI_IN_PORT", "BLOCK_DELAY", "DEVICE_ID", "PATTERN_NUMBER"})
            settings.setValue(name, text);
        const TransferSettings values = read(settings);
        EXPECT_EQ(values.midiInPort, 0) << text;
        EXPECT_EQ(values.blockDelay, 750) << text;
        EXPECT_EQ(values.deviceId, 0) << text;
        EXPECT_EQ(values.patternNumber, 1) << text;
    }
    settings.setValue("BLOCK_DELAY", "5000");
    EXPECT_EQ(read(settings).blockDelay, 5000); // the spin box clamps it
}

TEST_F(RegistrySettings, RandomBytesInTheFileNeverBreakTheRead) {
    auto* random = QRandomGenerator::global();
    for (int round = 0; round < 50; ++round) {
        QByteArray junk(static_cast<int>(random->bounded(2000)), '\0');
        for (char& c : junk)
            c = static_cast<char>(random->bounded(256));
        QFile file(dir.filePath("junk.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\nMIDI_IN_PORT=" + junk + "\nBLOCK_DELAY=" + junk.toHex());
        file.close();
        const TransferSettings values = read(QSettings(file.fileName(), QSettings::IniFormat));
        EXPECT_EQ(values.blockDelay, 750);
    }
}

TEST(PortSelectorIndex, NamesWinWhileTheirDeviceIsThereIndexesOnlyWithoutAName) {
    const QStringList two{"Synth", "Pultron64"};
    const struct {
        int index;
        const char* name;
        QStringList devices;
        int expected;
    } cases[] = {
        {1, "", two, 1},
        {2, "", two, 2},
        {3, "", two, 0},
        {-1, "", two, 0},
        {0, "", {}, 0},
        {1, "Pultron64", two, 2},
        {2, "Pultron64", {"New", "Synth", "Pultron64"}, 3},
        {2, "Gone", two, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(portSelectorIndex(c.index, c.name, c.devices), c.expected)
            << c.index << " " << c.name;
}

TEST(DefaultFolder, TheProgramsFolderWhenWritableElseTheDocumentsFolder) {
    QTemporaryDir dir;
    EXPECT_EQ(defaultFolder(dir.path()), dir.path());
    ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.effective()) GTEST_SKIP() << "cannot make a folder read-only here";
    EXPECT_EQ(defaultFolder(dir.path()),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}
