#include "file_bytes.h"
#include "preset_library.h"
#include "settings_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace preset_file;

namespace {

class PresetLibraryTest : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes,
                  const QString& name = QStringLiteral("vpt64presets.ini")) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    }
    static QByteArray read(const QString& path) { return readFileBytes(path); }
    PresetLibrary readWithDesk(const QByteArray& deskFileName) {
        return preset_file::read(write("[CustomDesk]\nFileName=" + deskFileName + "\n"),
                                 programDir);
    }

    QTemporaryDir dir;
    const QString programDir = QStringLiteral("/opt/vpultron64");
};

TEST_F(PresetLibraryTest, AMissingFileGivesEveryDefault) {
    const PresetLibrary library = preset_file::read(dir.filePath("absent.ini"), programDir);
    EXPECT_EQ(library.metaCaptions.byte0B, "Meta ID :");
    EXPECT_EQ(library.metaCaptions.byte1, "Meta Event Nr :");
    EXPECT_EQ(library.metaCaptions.min, "Min :");
    EXPECT_EQ(library.metaCaptions.max, "Max :");
    EXPECT_EQ(library.metaCaptions.initialValue, "Initial Value :");
    EXPECT_TRUE(library.potPresetKeys.isEmpty());
    EXPECT_TRUE(library.buttPresetNames.isEmpty());
    EXPECT_EQ(library.customDeskFile, "/opt/vpultron64/customdesk.vpt");
    EXPECT_FALSE(library.autoShowDesk);
    EXPECT_FALSE(library.hideEditor);
    EXPECT_EQ(library.customSysexFileName, "/opt/vpultron64/none");
}

TEST_F(PresetLibraryTest, PresetsKeepFileOrderAndSectionsMatchWithoutCase) {
    const PresetLibrary library = preset_file::read(write("[potpresets]\n"
                                                          "B007007F=Volume: Volume\n"
                                                          "b00a007f=Pan: Pan\n"
                                                          "B001007F.40=Modulation: Mod Wheel\n"
                                                          "[ButtonPresets]\n"
                                                          "993C7F=Drum: Hi Bongo\n"
                                                          "903C7F=Note: C4\n"
                                                          "[applicationcustom]\n"
                                                          "meta_potbyte1label=Sysex Nr :\n"),
                                                    programDir);
    EXPECT_EQ(library.potPresetKeys, QStringList({"B007007F", "b00a007f", "B001007F.40"}));
    EXPECT_EQ(library.potPresetNames,
              QStringList({"Volume: Volume", "Pan: Pan", "Modulation: Mod Wheel"}));
    EXPECT_EQ(library.buttPresetKeys, QStringList({"993C7F", "903C7F"}));
    EXPECT_EQ(library.buttPresetNames, QStringList({"Drum: Hi Bongo", "Note: C4"}));
    EXPECT_EQ(library.metaCaptions.byte1, "Sysex Nr :");
    EXPECT_EQ(library.metaCaptions.byte0B, "Meta ID :");
}

TEST_F(PresetLibraryTest, LongKeyListsAndValuesAreCutWhereTheirBuffersEnd) {
    QByteArray text = "[POTPRESETS]\n";
    // 200 keys of 99 characters: each takes 100 bytes of the 16384-byte key list.
    for (int i = 0; i < 200; ++i)
        text += QByteArray::number(i).rightJustified(99, '0') + "=Preset " + QByteArray::number(i) +
                "\n";
    text += "[APPLICATIONCUSTOM]\nMETA_PotMinLabel=" + QByteArray(3000, 'x') + "\n";
    const PresetLibrary library = preset_file::read(write(text), programDir);
    EXPECT_EQ(library.potPresetKeys.size(), 163); // 1 + 163 x 100 <= 16384 < 1 + 164 x 100
    EXPECT_EQ(library.potPresetNames.last(), "Preset 162");
    EXPECT_EQ(library.metaCaptions.min.size(), 2047);
}

TEST_F(PresetLibraryTest, DeskPathsResolveAgainstTheProgramFolderUnlessAbsolute) {
    EXPECT_EQ(readWithDesk("desks\\big.vpt").customDeskFile, "/opt/vpultron64/desks/big.vpt");
    EXPECT_EQ(readWithDesk("D:\\big.vpt").customDeskFile, "D:/big.vpt");
    // Only a ":" in second place or a leading "/" makes a path absolute.
    EXPECT_EQ(readWithDesk("\\desks\\big.vpt").customDeskFile, "/opt/vpultron64/desks/big.vpt");
    EXPECT_EQ(readWithDesk("/home/user/big.vpt").customDeskFile, "/home/user/big.vpt");
    EXPECT_EQ(readWithDesk("Self").customDeskFile, "/opt/vpultron64/Self");
}

TEST_F(PresetLibraryTest, SelfMakesTheSettingsFileTheDeskDescription) {
    const QString path = write("[CUSTOMDESK]\nFILENAME=self\n");
    EXPECT_EQ(preset_file::read(path, programDir).customDeskFile, path);

    // A settings file named relatively is still found where it is.
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QString deskFile =
        preset_file::read(QStringLiteral("vpt64presets.ini"), programDir).customDeskFile;
    QDir::setCurrent(saved);
    EXPECT_EQ(deskFile, path);
}

TEST_F(PresetLibraryTest, TheStartUpBankLiesBesideTheDeskFile) {
    const auto sysexFor = [&](const QByteArray& desk, const QByteArray& sysex) {
        return preset_file::read(write("[CUSTOMDESK]\nFILENAME=" + desk +
                                       "\n[CUSTOMSYSEX]\nFILENAME=" + sysex + "\n"),
                                 programDir)
            .customSysexFileName;
    };
    EXPECT_EQ(sysexFor("/data/desks/big.vpt", "start.syx"), "/data/desks/start.syx");
    EXPECT_EQ(sysexFor("desks\\big.vpt", "banks\\start.syx"),
              "/opt/vpultron64/desks/banks/start.syx");
    EXPECT_EQ(sysexFor("/data/desks/big.vpt", "C:\\banks\\start.syx"), "C:/banks/start.syx");
    EXPECT_EQ(sysexFor("/data/desks/big.vpt", "/banks/start.syx"), "/banks/start.syx");
    EXPECT_EQ(preset_file::read(write("[CUSTOMDESK]\nFILENAME=/data/big.vpt\n"), programDir)
                  .customSysexFileName,
              "/data/none");
}

TEST_F(PresetLibraryTest, OnlyRegularFilesNamedByTheSettingsCountAsExisting) {
    const QString folder = dir.filePath("program");
    ASSERT_TRUE(QDir().mkpath(folder + "/desks"));
    ASSERT_TRUE(writeFileBytes(folder + "/desk.vpt", "[Form]\n"));
    ASSERT_TRUE(QFile::link(folder + "/desk.vpt", folder + "/link.vpt"));
    const struct {
        QByteArray fileName;
        bool exists;
    } cases[] = {{"", false},        {"desks", false},  {"desks\\", false}, {"missing.vpt", false},
                 {"desk.vpt", true}, {"link.vpt", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName.toStdString());
        const QString desk =
            preset_file::read(write("[CUSTOMDESK]\nFILENAME=" + c.fileName + "\n"), folder)
                .customDeskFile;
        EXPECT_EQ(fileExists(desk), c.exists) << desk.toStdString();
    }
}

TEST_F(PresetLibraryTest, DeskOptionsAreIntegersAndAnythingElseIsOff) {
    auto options =
        preset_file::read(write("[CUSTOMDESK]\nAUTOSHOW=$1\nEDITORHIDE=0x10\n"), programDir);
    EXPECT_TRUE(options.autoShowDesk);
    EXPECT_TRUE(options.hideEditor);
    options = preset_file::read(write("[CUSTOMDESK]\nAUTOSHOW=yes\nEDITORHIDE=0\n"), programDir);
    EXPECT_FALSE(options.autoShowDesk);
    EXPECT_FALSE(options.hideEditor);
}

TEST_F(PresetLibraryTest, TheSettingsFileIsTheArgumentOrTheDefaultBesideTheProgram) {
    EXPECT_EQ(settingsFilePath("", programDir), "/opt/vpultron64/vpt64presets.ini");
    EXPECT_EQ(settingsFilePath("mine.ini", programDir), "mine.ini");
}

TEST_F(PresetLibraryTest, StoringAppSettingsChangesOnlyItsThreeKeys) {
    const QByteArray before = "; my presets\r\n"
                              "[POTPRESETS]\r\n"
                              "B007007F=Volume: Volume\r\n"
                              "[CustomDesk]\r\n"
                              "FileName = self\r\n"
                              "autoshow=0\r\n"
                              "[CUSTOMSYSEX]\r\n"
                              "FILENAME=start.syx\r\n";
    const QString path = write(before);
    const QString deskFile = preset_file::read(path, programDir).customDeskFile;
    QStringList log;
    ASSERT_TRUE(storeAppSettings(path, deskFile, true, true, log));
    QByteArray expected = before;
    expected.replace("FileName = self", "FileName =" + deskFile.toUtf8());
    expected.replace("autoshow=0\r\n", "autoshow=1\r\nEDITORHIDE=1\r\n");
    EXPECT_EQ(read(path), expected);
    EXPECT_EQ(preset_file::read(path, programDir).customDeskFile, deskFile);
}

TEST_F(PresetLibraryTest, StoringAppSettingsCreatesAMissingFile) {
    const QString path = dir.filePath("fresh.ini");
    QStringList log;
    ASSERT_TRUE(storeAppSettings(path, "/opt/vpultron64/customdesk.vpt", false, true, log));
    EXPECT_EQ(read(path), QByteArray("[CUSTOMDESK]\n"
                                     "FILENAME=/opt/vpultron64/customdesk.vpt\n"
                                     "AUTOSHOW=0\n"
                                     "EDITORHIDE=1\n"));
    EXPECT_FALSE(storeAppSettings(dir.filePath("no/such/folder.ini"), "x", false, false, log));
}

// Ctrl+Alt+S once wrote "?" for such characters, and the next start looked for the wrong desk.
TEST_F(PresetLibraryTest, StoringAppSettingsLosesNoCharacterOfAWindows1252File) {
    const QByteArray before = "; r\xE9glages\r\n[CUSTOMDESK]\r\nFILENAME=d\xE9sk.vpt\r\n";
    struct Case {
        QString deskFile;
        QByteArray after; // without the final AUTOSHOW and EDITORHIDE lines
        bool converted;
    } cases[] = {
        {"/home/r\u00E9mi/\u20AC.vpt",
         "; r\xE9glages\r\n[CUSTOMDESK]\r\nFILENAME=/home/r\xE9mi/\x80.vpt", false},
        {"/home/\u0141ukasz/\u03A9.vpt",
         "\xEF\xBB\xBF; r\u00E9glages\r\n[CUSTOMDESK]\r\nFILENAME=/home/\u0141ukasz/\u03A9.vpt",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deskFile.toStdString());
        const QString path = write(before);
        QStringList log;
        ASSERT_TRUE(storeAppSettings(path, c.deskFile, true, false, log));
        EXPECT_EQ(read(path), c.after + "\r\nAUTOSHOW=1\r\nEDITORHIDE=0\r\n");
        EXPECT_EQ(preset_file::read(path, programDir).customDeskFile, c.deskFile);
        const QString converted =
            path + " converted from Windows-1252 to UTF-8 to hold the path " + c.deskFile;
        EXPECT_EQ(log, c.converted ? QStringList{converted} : QStringList{});
    }
}

TEST_F(PresetLibraryTest, PresetKeysReadLikeHexadecimalScans) {
    const auto withInitial = parsePotKey("B007007F.40");
    ASSERT_TRUE(withInitial);
    EXPECT_EQ(withInitial->bytes, 0xB007007Fu);
    EXPECT_EQ(withInitial->initialValue, 0x40u);
    const auto plain = parsePotKey("b0075a7f");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->bytes, 0xB0075A7Fu);
    EXPECT_FALSE(plain->initialValue);
    EXPECT_FALSE(parsePotKey("B0.zz")->initialValue);
    EXPECT_FALSE(parsePotKey("Volume"));
    EXPECT_FALSE(parsePotKey(""));
    // Only the first 1023 characters of a key count.
    EXPECT_FALSE(parsePotKey(QString(1023, ' ') + "B0"));

    EXPECT_EQ(parseButtonKey("903C7F"), 0x903C7Fu);
    EXPECT_EQ(parseButtonKey("FF903C7F"), 0x903C7Fu);
    EXPECT_FALSE(parseButtonKey("note"));
    using Bytes = std::array<std::uint8_t, 3>;
    EXPECT_EQ(buttonKeyBytes("803CFF"), (Bytes{0x90, 0x3C, 0x7F}));
}

TEST_F(PresetLibraryTest, LookupsFindTheFirstMatchingKey) {
    const QStringList potKeys{"B007007F.40", "b007007f", "B007007F"};
    using PotBytes = std::array<std::uint8_t, 4>;
    EXPECT_EQ(findPotPreset(potKeys, PotBytes{0xB0, 0x07, 0x00, 0x7F}), 1);
    EXPECT_EQ(findPotPreset(potKeys, PotBytes{0xB0, 0x0A, 0x00, 0x7F}), -1);

    const QStringList buttonKeys{"B0407F", "00903C7F", "903CFF", "903C7F"};
    using Bytes = std::array<std::uint8_t, 3>;
    // 00903C7F applies 90 3C 7F, and so does 903CFF once byte 2 is limited.
    EXPECT_EQ(findButtonPreset(buttonKeys, Bytes{0x90, 0x3C, 0x7F}), 1);
    EXPECT_EQ(findButtonPreset(buttonKeys, Bytes{0xB0, 0x40, 0x7F}), 0);
    EXPECT_EQ(findButtonPreset(buttonKeys, Bytes{0x90, 0x3D, 0x7F}), -1);
}

TEST(PresetLookup, PresetsMatchWhateverTheChannel) {
    using PotBytes = std::array<std::uint8_t, 4>;
    using ButtonBytes = std::array<std::uint8_t, 3>;
    const QStringList potKeys{"B05B007F", "B45B007F", "B007007F", "F05B007F", "B05B007F.40"};
    const struct {
        PotBytes pot;
        int preset;
    } pots[] = {
        {{0xB4, 0x5B, 0x00, 0x7F}, 1}, // its own channel first
        {{0xB9, 0x5B, 0x00, 0x7F}, 0}, // else the first on any channel
        {{0xBF, 0x07, 0x00, 0x7F}, 2},
        {{0xC0, 0x07, 0x00, 0x7F}, -1}, // the event type still counts
        {{0xF0, 0x5B, 0x00, 0x7F}, 3},
        {{0xF1, 0x5B, 0x00, 0x7F}, -1}, // a meta event's low nibble is its id, not a channel
        {{0xB3, 0x5B, 0x00, 0x7E}, -1},
    };
    for (const auto& c : pots)
        EXPECT_EQ(findPotPreset(potKeys, c.pot), c.preset) << int(c.pot[0]) << " " << int(c.pot[3]);

    const QStringList buttonKeys{"903C7F", "993C7F"};
    EXPECT_EQ(findButtonPreset(buttonKeys, ButtonBytes{0x99, 0x3C, 0x7F}), 1);
    EXPECT_EQ(findButtonPreset(buttonKeys, ButtonBytes{0x95, 0x3C, 0x7F}), 0);

    // Applying a preset keeps the entry's channel; a meta event keeps its own id.
    const struct {
        std::uint8_t preset, entry, applied;
    } statuses[] = {{0xB0, 0x94, 0xB4}, {0xC3, 0xBF, 0xCF}, {0xF2, 0xB4, 0xF2}, {0x90, 0xF5, 0x95}};
    for (const auto& c : statuses)
        EXPECT_EQ(appliedStatus(c.preset, c.entry), c.applied) << int(c.preset) << int(c.entry);
}

TEST_F(PresetLibraryTest, LabelsComeFromTheTextAfterTheFirstSeparator) {
    EXPECT_EQ(labelFromPresetName("CC 7: Channel Volume 16"), "Channel Volume ");
    EXPECT_EQ(labelFromPresetName("A name without separator"), "A name without ");
    EXPECT_EQ(labelFromPresetName("Sound: Filter: Cutoff"), "Filter: Cutoff");
    EXPECT_EQ(labelFromPresetName("Colon:without space"), "Colon:without s");
}

TEST(ShippedPresetFile, OffersEveryStandardControllerWithAGoodLabel) {
    const PresetLibrary library = preset_file::read(QStringLiteral(VPT64_PRESETS_INI), "/opt");
    ASSERT_GE(library.potPresetKeys.size(), 60);
    ASSERT_EQ(library.potPresetKeys.size(), library.potPresetNames.size());
    QList<int> controllers;
    for (int i = 0; i < library.potPresetKeys.size(); ++i) {
        const QString& key = library.potPresetKeys[i];
        const QString& name = library.potPresetNames[i];
        const auto value = parsePotKey(key);
        ASSERT_TRUE(value) << key.toStdString();
        EXPECT_EQ(key.size(), 8) << key.toStdString();
        EXPECT_GE(value->bytes >> 24, 0x90u) << key.toStdString();
        EXPECT_EQ(value->bytes & 0xFFFF, 0x007Fu) << key.toStdString() << " is not full range";
        EXPECT_TRUE(name.contains(": ")) << name.toStdString();
        const QString label = name.mid(name.indexOf(": ") + 2);
        EXPECT_FALSE(label.isEmpty()) << name.toStdString();
        EXPECT_LE(label.size(), 15) << name.toStdString();
        EXPECT_EQ(findPotPreset(library.potPresetKeys, *potKeyBytes(key)), i)
            << "duplicate " << key.toStdString();
        if ((value->bytes >> 24) == 0xB0)
            controllers.append(static_cast<int>((value->bytes >> 16) & 0xFF));
    }
    for (int cc : {0, 1, 2, 4, 5, 7, 8, 10, 11, 64, 65, 71, 72, 73, 74, 91, 93, 121, 123})
        EXPECT_TRUE(controllers.contains(cc)) << "controller " << cc;

    ASSERT_GE(library.buttPresetKeys.size(), 20);
    for (int i = 0; i < library.buttPresetKeys.size(); ++i) {
        const auto bytes = buttonKeyBytes(library.buttPresetKeys[i]);
        ASSERT_TRUE(bytes) << library.buttPresetKeys[i].toStdString();
        EXPECT_EQ(*parseButtonKey(library.buttPresetKeys[i]),
                  (std::uint32_t((*bytes)[0]) << 16) | ((*bytes)[1] << 8) | (*bytes)[2])
            << library.buttPresetKeys[i].toStdString() << " does not fit the button fields";
        EXPECT_EQ(findButtonPreset(library.buttPresetKeys, *bytes), i)
            << "duplicate " << library.buttPresetKeys[i].toStdString();
        EXPECT_TRUE(library.buttPresetNames[i].contains(": "))
            << library.buttPresetNames[i].toStdString();
    }
}

} // namespace
