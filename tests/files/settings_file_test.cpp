#include "file_bytes.h"
#include "read_only_folder.h"
#include "settings_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    }
    static QByteArray read(const QString& path) { return readFileBytes(path); }

    QTemporaryDir dir;
};

TEST_F(SettingsFileTest, SectionsAndKeysMatchWithoutCaseAndTheFirstOccurrenceWins) {
    const SettingsFile file(write("[Alpha]\n"
                                  "Colour=red\n"
                                  "COLOUR=blue\n"
                                  "[beta]\n"
                                  "Size=3\n"
                                  "[ALPHA]\n"
                                  "Shape=round\n"));
    EXPECT_EQ(file.value("alpha", "colour"), "red");
    EXPECT_EQ(file.value("ALPHA", "Colour"), "red");
    EXPECT_EQ(file.value("BETA", "size"), "3");
    // The second [ALPHA] is never searched.
    EXPECT_FALSE(file.contains("Alpha", "Shape"));
    EXPECT_EQ(file.value("Alpha", "Shape", "none"), "none");
    EXPECT_EQ(file.sectionNames(), QStringList({"Alpha", "beta"}));
    EXPECT_EQ(file.keys("alpha"), QStringList({"Colour"}));
}

TEST_F(SettingsFileTest, KeysAreListedInFileOrderAndValuesReadTheWayTheyAreMeant) {
    const SettingsFile file(write("\xEF\xBB\xBF"
                                  "ignored=before any section\r\n"
                                  "[List]\r\n"
                                  "; a comment line\r\n"
                                  "  zeta = last letter  \r\n"
                                  "alpha=\"quoted value\"\r\n"
                                  "a line without an equals sign\r\n"
                                  "mid='single'\r\n"
                                  "empty=\r\n"
                                  "url=a=b\r\n"
                                  "\r\n"));
    EXPECT_EQ(file.keys("list"), QStringList({"zeta", "alpha", "mid", "empty", "url"}));
    EXPECT_EQ(file.value("list", "zeta"), "last letter");
    EXPECT_EQ(file.value("list", "alpha"), "quoted value");
    EXPECT_EQ(file.value("list", "mid"), "single");
    EXPECT_EQ(file.value("list", "url"), "a=b");
    // An empty value is a value; the fallback is only for missing keys.
    EXPECT_EQ(file.value("list", "empty", "fallback"), "");
    EXPECT_EQ(file.value("list", "missing", "fallback"), "fallback");
    EXPECT_TRUE(file.keys("nowhere").isEmpty());
}

TEST_F(SettingsFileTest, IntegersAreDecimalOrHexadecimalAndAnythingElseGivesTheDefault) {
    const SettingsFile file(write("[N]\n"
                                  "dec=42\n"
                                  "neg=-7\n"
                                  "hex=0x1F\n"
                                  "HEX=0XfF\n"
                                  "dollar=$80000000\n"
                                  "spaced=  12  \n"
                                  "trailing=12abc\n"
                                  "word=yes\n"
                                  "blank=\n"
                                  "bare=0x\n"
                                  "plus=+5\n"
                                  "negHex=-$10\n"
                                  "long=1234567890123456789\n"
                                  "longHex=0x1234567890123456\n"));
    EXPECT_EQ(file.intValue("n", "dec", -1), 42);
    EXPECT_EQ(file.intValue("n", "neg", -1), -7);
    EXPECT_EQ(file.intValue("n", "hex", -1), 0x1F);
    EXPECT_EQ(file.intValue("n", "HEX", -1), 0x1F); // first occurrence of "hex"
    EXPECT_EQ(file.intValue("n", "dollar", -1), 0x80000000LL);
    EXPECT_EQ(file.intValue("n", "spaced", -1), 12);
    EXPECT_EQ(file.intValue("n", "trailing", -1), -1);
    EXPECT_EQ(file.intValue("n", "word", -1), -1);
    EXPECT_EQ(file.intValue("n", "blank", -1), -1);
    EXPECT_EQ(file.intValue("n", "bare", -1), -1);
    EXPECT_EQ(file.intValue("n", "plus", -1), 5);
    EXPECT_EQ(file.intValue("n", "negHex", -1), -16);
    EXPECT_EQ(file.intValue("n", "long", -1), -1); // more digits than can be held
    EXPECT_EQ(file.intValue("n", "longHex", -1), -1);
    EXPECT_EQ(file.intValue("n", "missing", 5), 5);
    EXPECT_TRUE(file.boolValue("n", "dec", false));
    EXPECT_FALSE(file.boolValue("n", "word", false));
    EXPECT_TRUE(file.boolValue("n", "missing", true));
}

TEST_F(SettingsFileTest, WritingAKeyKeepsEveryOtherByteOfTheFile) {
    const QByteArray before = "; settings\r\n"
                              "[One]\r\n"
                              "Name = old value ; not a comment\r\n"
                              "\r\n"
                              "[Two]\r\n"
                              "name=untouched\r\n"
                              "Odd   spacing  =  kept  \r\n";
    const QString path = write(before);
    SettingsFile file(path);
    ASSERT_TRUE(file.setValue("ONE", "name", "new"));
    QByteArray expected = before;
    expected.replace("Name = old value ; not a comment", "Name =new");
    EXPECT_EQ(read(path), expected);
    EXPECT_EQ(file.value("one", "name"), "new");
    EXPECT_EQ(SettingsFile(path).value("two", "name"), "untouched");
}

TEST_F(SettingsFileTest, MissingKeysJoinTheirSectionAndMissingSectionsTheEnd) {
    const QString path = write("[One]\n"
                               "a=1\n"
                               "\n"
                               "[Two]\n"
                               "b=2"); // no final line break
    SettingsFile file(path);
    ASSERT_TRUE(file.setValue("one", "c", "3"));
    ASSERT_TRUE(file.setValue("two", "d", "4"));
    ASSERT_TRUE(file.setValue("Three", "e", "5"));
    EXPECT_EQ(read(path), QByteArray("[One]\n"
                                     "a=1\n"
                                     "c=3\n"
                                     "\n"
                                     "[Two]\n"
                                     "b=2\n"
                                     "d=4\n"
                                     "[Three]\n"
                                     "e=5\n"));
    EXPECT_EQ(SettingsFile(path).keys("ONE"), QStringList({"a", "c"}));
}

TEST_F(SettingsFileTest, WritingCreatesAMissingFile) {
    const QString path = dir.filePath("new.ini");
    SettingsFile file(path);
    EXPECT_TRUE(file.sectionNames().isEmpty());
    ASSERT_TRUE(file.setValue("Section", "Key", "value"));
    EXPECT_EQ(read(path), QByteArray("[Section]\nKey=value\n"));
}

TEST_F(SettingsFileTest, WritingWorksOnTheFileAsItIsNowNotAsItWasRead) {
    const QString path = write("[S]\na=1\n");
    SettingsFile file(path);
    write("[S]\na=1\nb=2\n");
    ASSERT_TRUE(file.setValue("s", "a", "9"));
    EXPECT_EQ(read(path), QByteArray("[S]\na=9\nb=2\n"));
}

TEST_F(SettingsFileTest, AFolderThatTakesNoNewFilesIsWrittenInPlaceAndALockedFileNotAtAll) {
    const QString folder = dir.filePath("shared");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/settings.ini";
    ASSERT_TRUE(writeFileBytes(path, "[S]\nkey=old\n"));
    SettingsFile file(path);
    {
        ReadOnlyFolder locked(folder);
        if (!locked.effective()) GTEST_SKIP() << "cannot make a folder read-only here";
        EXPECT_TRUE(file.setValue("s", "key", "new"));
        EXPECT_EQ(read(path), QByteArray("[S]\nkey=new\n"));
        ReadOnlyFolder lockedFile(path);
        ASSERT_TRUE(lockedFile.fileLocked());
        EXPECT_FALSE(file.setValue("s", "key", "newer"));
    }
    EXPECT_EQ(read(path), QByteArray("[S]\nkey=new\n"));
    EXPECT_FALSE(SettingsFile(dir.filePath("missing/folder/x.ini")).setValue("s", "k", "v"));
}

QByteArray utf16(const QString& text, bool littleEndian) {
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return bytes;
}

// Files as other programs save them: each is read, one key is written, and the file keeps its
// encoding and every other byte.
TEST_F(SettingsFileTest, FilesMadeElsewhereAreReadAndWrittenBackInTheirOwnForm) {
    const QString before = QStringLiteral("[CUSTOMDESK]\r\nFILENAME=C:\\Bänke\\désk.vpt\r\n"
                                          "AUTOSHOW=1\r\n");
    const QString after = QString(before).replace("AUTOSHOW=1", "AUTOSHOW=0");
    struct Case {
        const char* form;
        QByteArray before;
        const char* key;
        QString read; // the key's value, "-" when it has none
        const char* writeKey;
        QByteArray after;
    } cases[] = {
        {"UTF-16 LE", utf16(before, true), "filename", "C:\\Bänke\\désk.vpt", "AUTOSHOW",
         utf16(after, true)},
        {"UTF-16 BE", utf16(before, false), "filename", "C:\\Bänke\\désk.vpt", "AUTOSHOW",
         utf16(after, false)},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + before.toUtf8(), "filename", "C:\\Bänke\\désk.vpt",
         "AUTOSHOW", "\xEF\xBB\xBF" + after.toUtf8()},
        {"UTF-8", before.toUtf8(), "filename", "C:\\Bänke\\désk.vpt", "AUTOSHOW", after.toUtf8()},
        {"Windows-1252", "[CUSTOMDESK]\nFILENAME=D\xE9sk \x80 \x81.vpt\nAUTOSHOW=1\n", "FileName",
         QString::fromUtf8("Désk € \u0081.vpt"), "AUTOSHOW",
         "[CUSTOMDESK]\nFILENAME=D\xE9sk \x80 \x81.vpt\nAUTOSHOW=0\n"},
        {"bare key line", "[CUSTOMDESK]\nFILENAME\nAUTOSHOW=1\n", "FILENAME", "-", "FILENAME",
         "[CUSTOMDESK]\nFILENAME=0\nAUTOSHOW=1\n"},
        {"bare key line with blanks", "[customdesk]\r\n  autoshow  \r\n", "AUTOSHOW", "-",
         "AUTOSHOW", "[customdesk]\r\n  autoshow=0  \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        const QString path = write(c.before);
        SettingsFile file(path);
        EXPECT_EQ(file.value("CustomDesk", c.key, "-"), c.read);
        ASSERT_TRUE(file.setValue("CUSTOMDESK", c.writeKey, "0"));
        EXPECT_EQ(read(path), c.after);
        EXPECT_EQ(SettingsFile(path).value("customdesk", c.writeKey), "0");
    }
}

// The desk dump writes thousands of keys in one batch; its bytes are those of writing them one
// by one.
TEST_F(SettingsFileTest, ABatchOfWritesGivesTheBytesOfWritingKeyByKey) {
    const QList<SettingsFile::Write> writes = {
        {"Form", "Top", "1"},      {"One", "a", "new a"}, {"one", "Fresh", "x"},
        {"New", "k", "1"},         {"Two", "lone", "v"},  {"NEW", "K", "2"},
        {"Later", "k", "3"},       {"new", "other", "4"}, {"ONE", "fresh", "y"},
        {"Two", "last", "at end"}, {"Form", "Top", "2"},
    };
    const QByteArray files[] = {
        "",
        "[One]\r\na=1\r\n; note\r\n\r\n[Two]\r\nlone\r\nlast=", // ends inside a value
        "[Form]\nTop=0\n[One]\n  A = 1  \n[Two]\nb=2\n\n\n",
        "[Two]\nlone   ", // a bare key ends the file
        "\xEF\xBB\xBF[One]\na=caf\xC3\xA9\n",
    };
    for (const QByteArray& before : files) {
        SCOPED_TRACE(before.toStdString());
        const QString oneByOne = write(before, "one-by-one.ini");
        SettingsFile single(oneByOne);
        for (const SettingsFile::Write& w : writes)
            ASSERT_TRUE(single.setValue(w.section, w.key, w.value));
        const QString batched = write(before, "batch.ini");
        SettingsFile batch(batched);
        ASSERT_TRUE(batch.setValues(writes));
        EXPECT_EQ(read(batched), read(oneByOne));
        EXPECT_EQ(batch.value("new", "k"), "2");
    }
}

// Names are matched as bytes while they are ASCII; beyond it, letter case is still ignored,
// reading and writing alike, and a name keeps the spaces around it out of its match.
TEST_F(SettingsFileTest, NamesBeyondAsciiMatchWithoutRegardToCase) {
    const QString kelvinSign = QString::fromUtf8("\xE2\x84\xAA"); // folds to "k"
    const QString path = write("[ \xC3\x9C"
                               "ber\xC2\xA0]\nK\xC3\xA9y=1\n[Kelvin]\nk=2\n");
    SettingsFile file(path);
    EXPECT_EQ(file.sectionNames(), QStringList({"\u00DCber", "Kelvin"}));
    EXPECT_EQ(file.value("\u00FCBER", "K\u00C9Y"), "1");
    EXPECT_EQ(file.value("KELVIN", kelvinSign), "2");
    SettingsFile::Writes writes;
    writes.beginSection(u"\u00DCBER");
    writes.add("k\xC3\xA9y", u"3");
    writes.beginSection(u"kelvin");
    writes.add(kelvinSign.toUtf8(), 4);
    ASSERT_TRUE(file.setValues(writes));
    EXPECT_EQ(read(path), "[ \xC3\x9C"
                          "ber\xC2\xA0]\nK\xC3\xA9y=3\n[Kelvin]\nk=4\n");
}

TEST_F(SettingsFileTest, AValueWithLineBreaksStaysOnOneLine) {
    const QString path = write("[S]\nkey=old\nnext=1\n");
    SettingsFile file(path);
    ASSERT_TRUE(file.setValue("s", "key", "two\nlines"));
    EXPECT_EQ(read(path), QByteArray("[S]\nkey=two lines\nnext=1\n"));
}

} // namespace
