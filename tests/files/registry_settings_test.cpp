// The transfer settings kept between runs, in a settings file of the test's own.
#include "read_only_folder.h"
#include "registry_settings.h"

#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace registry_settings;

TEST(RegistrySettings, TextsThatAreNotDecimalNumbersAndRandomFilesGiveTheDefaults) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("vPultron64.conf"), QSettings::IniFormat);
    for (const char* text : {"", "abc", "0x10", "$10", "1.5", "99999999999", "12abc"}) {
        for (const char* name : {"MIDI_IN_PORT", "BLOCK_DELAY", "DEVICE_ID", "PATTERN_NUMBER"})
            settings.setValue(name, text);
        const TransferSettings values = read(settings);
        EXPECT_EQ(
            std::tie(values.midiInPort, values.blockDelay, values.deviceId, values.patternNumber),
            std::make_tuple(0, 750, 0, 1))
            << text;
    }
    for (int round = 0; round < 50; ++round) {
        QByteArray junk(static_cast<int>(QRandomGenerator::global()->bounded(2000)), '\0');
        for (char& c : junk)
            c = static_cast<char>(QRandomGenerator::global()->bounded(256));
        QFile file(dir.filePath("junk.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // Hexadecimal text is no decimal number, even when all its digits happen to be 0..9.
        file.write("[General]\nMIDI_IN_PORT=" + junk + "\nBLOCK_DELAY=0x" + junk.toHex());
        file.close();
        EXPECT_EQ(read(QSettings(file.fileName(), QSettings::IniFormat)).blockDelay, 750);
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
        {1, "", two, 1},          {2, "", two, 2},
        {3, "", two, 0},          {-1, "", two, 0},
        {1, "Pultron64", two, 2}, {2, "Pultron64", {"New", "Synth", "Pultron64"}, 3},
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

// A window kept on a screen that is gone, or far off by a broken value, comes back where it can
// be reached; one that fits where it is stays there.
TEST(ReachablePlace, AWindowLandsWhollyOnTheScreenItOverlapsMostElseOnTheFirst) {
    const QRect left(0, 30, 1400, 970); // a panel above
    const QRect right(1400, 0, 1920, 1080);
    const struct {
        QRect place;
        QList<QRect> screens;
        std::optional<QRect> expected;
    } cases[] = {
        {{100, 100, 400, 300}, {left}, QRect(100, 100, 400, 300)},
        {{1500, 50, 400, 300}, {left, right}, QRect(1500, 50, 400, 300)},
        {{1500, 50, 400, 300}, {left}, QRect(1000, 50, 400, 300)},
        {{1300, 50, 400, 300}, {left, right}, QRect(1400, 50, 400, 300)},
        {{-5000, -5000, 400, 300}, {left, right}, QRect(0, 30, 400, 300)},
        {{900000, 900000, 900000, 900000}, {left, right}, QRect(0, 30, 1400, 970)},
        {{-900000, 500, 2000, 2000}, {left}, QRect(0, 30, 1400, 970)},
        {{100, 100, 0, 300}, {left}, std::nullopt},
        {{100, 100, 400, 300}, {}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reachablePlace(c.place, c.screens), c.expected)
            << c.place.x() << "," << c.place.y() << " on " << c.screens.size() << " screens";
}

// A place kept as text that is no place leaves the window where it starts; numbers far out of
// range come back bounded.
TEST(RegistrySettings, TextThatIsNoPlaceGivesNoneAndFarNumbersAreBounded) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("vPultron64.conf"), QSettings::IniFormat);
    for (const char* junk : {"abc", "12", "1 2 -3 4", "1 2 3 4 5", "1 2 3 0x10", "1,2,3,4"}) {
        settings.setValue("EDITOR_WINDOW", junk);
        EXPECT_FALSE(readWindowPlace(settings, "EDITOR_WINDOW").place.isValid()) << junk;
    }
    settings.setValue("EDITOR_WINDOW", "2147483647 -2147483648 2147483647 2147483647");
    EXPECT_EQ(reachablePlace(readWindowPlace(settings, "EDITOR_WINDOW").place, {{0, 0, 800, 600}}),
              QRect(0, 0, 800, 600));
}
