// The two programs run as whole processes, the way users and scripts run them.
#include "bank_record.h"
#include "dump_codec.h"
#include "file_bytes.h"
#include "library_folder.h"
#include "run_process.h"
#include "syx_file.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

// The programs keep their transfer settings here, never in the user's own folder.
QString configHome() {
    static const QTemporaryDir dir;
    return dir.path();
}

ProcessResult run(const QString& program, const QStringList& args,
                  QProcessEnvironment env = QProcessEnvironment::systemEnvironment(),
                  const QString& workDir = {}) {
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    return runProcess(program, args, env, workDir);
}

ProcessResult vpt64(const QStringList& args) {
    return run(QStringLiteral(VPT64_CLI), args);
}

void writeAll(const QString& path, const QByteArray& bytes) {
    ASSERT_TRUE(writeFileBytes(path, bytes));
}

const QString kTaken = QStringLiteral("Copied SysEx Dump to Configuration Structure\n");

struct Vpt64 : ::testing::Test {
    QTemporaryDir dir;
    QByteArray defaultDump = readFileBytes(QStringLiteral(VPT64_DEFAULT_DUMP));
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(Vpt64, DefaultWritesTheBuiltInBankAndEncodeReproducesIt) {
    ASSERT_EQ(defaultDump.size(), 2120);
    const ProcessResult written = vpt64({"default", path("default.syx")});
    EXPECT_EQ(written.exitCode, 0);
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(readFileBytes(path("default.syx")), defaultDump);

    const ProcessResult decoded = vpt64({"decode", path("default.syx")});
    EXPECT_EQ(decoded.exitCode, 0);
    EXPECT_EQ(decoded.out, kTaken);
    EXPECT_EQ(decoded.err, "");

    const ProcessResult encoded = vpt64({"encode", path("default.syx"), path("encoded.syx")});
    EXPECT_EQ(encoded.exitCode, 0);
    EXPECT_EQ(encoded.out, kTaken);
    EXPECT_EQ(readFileBytes(path("encoded.syx")), defaultDump);
}

TEST_F(Vpt64, EncodeCleansADumpAmongForeignMessages) {
    const QByteArray foreign = QByteArray::fromHex("f0411042124000f7");
    writeAll(path("mixed.syx"), foreign + defaultDump + foreign);
    const ProcessResult encoded = vpt64({"encode", path("mixed.syx"), path("clean.syx")});
    EXPECT_EQ(encoded.exitCode, 0);
    EXPECT_EQ(readFileBytes(path("clean.syx")), defaultDump);
}

TEST_F(Vpt64, RejectedDumpPrintsTheDecoderLinesAndKeepsTheOldOutput) {
    QByteArray broken = defaultDump;
    broken[263] = 0x00; // checksum of block 1 should be 0x50
    writeAll(path("broken.syx"), broken);
    const ProcessResult decoded = vpt64({"decode", path("broken.syx")});
    EXPECT_EQ(decoded.exitCode, 1);
    EXPECT_EQ(decoded.out, "ERROR: checksum mismatch in block #1 (actual: 00, expected: 50)\n"
                           "ERROR: Dump data not taken due to previous error(s)!\n");

    writeAll(path("old.syx"), "old contents");
    const ProcessResult encoded = vpt64({"encode", path("broken.syx"), path("old.syx")});
    EXPECT_EQ(encoded.exitCode, 1);
    EXPECT_EQ(readFileBytes(path("old.syx")), "old contents");
}

TEST_F(Vpt64, UnreadableInputAndUnwritableOutputAreErrors) {
    const ProcessResult missing = vpt64({"decode", path("missing.syx")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err, "");
    EXPECT_EQ(vpt64({"decode", dir.path()}).exitCode, 2); // a folder is not a dump file

    writeAll(path("in.syx"), defaultDump);
    const ProcessResult noFolder =
        vpt64({"encode", path("in.syx"), path("no/such/folder/out.syx")});
    EXPECT_NE(noFolder.exitCode, 0);
    EXPECT_TRUE(noFolder.err.startsWith("Cannot open output file '" +
                                        path("no/such/folder/out.syx") + "': "))
        << noFolder.err.toStdString();
    const ProcessResult intoFolder = vpt64({"default", dir.path()});
    EXPECT_NE(intoFolder.exitCode, 0);
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());

    EXPECT_EQ(vpt64({}).exitCode, 2);
    EXPECT_EQ(vpt64({"decode"}).exitCode, 2);
    EXPECT_EQ(vpt64({"frobnicate", "x"}).exitCode, 2);
}

TEST_F(Vpt64, ReadsAtMostTheBufferSizeOfAFile) {
    writeAll(path("late.syx"), QByteArray(256000, '\x7F') + defaultDump);
    const ProcessResult late = vpt64({"decode", path("late.syx")});
    EXPECT_EQ(late.exitCode, 1);
    EXPECT_TRUE(late.out.startsWith("ERROR: dump not complete, got only 0 bytes"))
        << late.out.toStdString();

    writeAll(path("early.syx"), defaultDump + QByteArray(300000, '\x7F'));
    const ProcessResult early = vpt64({"decode", path("early.syx")});
    EXPECT_EQ(early.exitCode, 0);
    EXPECT_EQ(early.out, kTaken);
}

TEST_F(Vpt64, ExportIniAndMidWriteTheBanksFileForms) {
    writeAll(path("in.syx"), defaultDump);
    const ProcessResult ini = vpt64({"export-ini", path("in.syx"), path("out.ini")});
    EXPECT_EQ(ini.exitCode, 0);
    EXPECT_EQ(ini.out, kTaken + "'" + path("out.ini") + "' saved in dump_kit '.ini' format.\n");
    const QByteArray text = readFileBytes(path("out.ini"));
    EXPECT_TRUE(text.startsWith("# Export from vPultron64 : Release : "));
    EXPECT_EQ(text.count("\r\n"), 191);

    const ProcessResult mid = vpt64({"export-mid", path("in.syx"), path("out.mid")});
    EXPECT_EQ(mid.exitCode, 0);
    EXPECT_EQ(mid.out, kTaken);
    EXPECT_EQ(readFileBytes(path("out.mid")).size(), 2071);

    const ProcessResult smf =
        vpt64({"export-mid", path("in.syx"), path("smf.mid"), "--smf-sysex", "--delay", "0"});
    EXPECT_EQ(smf.exitCode, 0);
    EXPECT_EQ(smf.out, kTaken + "'" + path("smf.mid") + "' saved.\n");
    EXPECT_EQ(readFileBytes(path("smf.mid")).size(), 14 + 8 + 8 * 268 + 4);

    EXPECT_EQ(vpt64({"export-mid", path("in.syx"), path("x.mid"), "--delay", "abc"}).exitCode, 2);
    EXPECT_EQ(vpt64({"export-mid", path("in.syx")}).exitCode, 2);
    writeAll(path("broken.syx"), defaultDump.left(1000));
    EXPECT_EQ(vpt64({"export-ini", path("broken.syx"), path("x.ini")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(path("x.ini")));
}

TEST_F(Vpt64, DiffNamesEachDifferingFieldAndSaysWhyAFileHoldsNoBank) {
    writeAll(path("a.syx"), defaultDump);
    const auto scanned = scanDump(
        std::span(reinterpret_cast<const std::uint8_t*>(defaultDump.data()), defaultDump.size()),
        {});
    ASSERT_TRUE(scanned);
    BankRecord other = scanned->record;
    other.setPot(7, {0x36, 74, 0, 127});
    other.setBankName("Other Name");
    writeAll(path("b.syx"), encodeBank(other, 3));
    writeAll(path("broken.syx"), defaultDump.left(1000));

    const ProcessResult equal = vpt64({"diff", path("a.syx"), path("a.syx")});
    EXPECT_EQ(equal.exitCode, 0);
    EXPECT_EQ(equal.out + equal.err, "");
    const ProcessResult differ = vpt64({"diff", path("a.syx"), path("b.syx")});
    EXPECT_EQ(differ.exitCode, 1);
    EXPECT_EQ(differ.out, "pot 7 controller: 91 -> 74\n"
                          "bank name: \"Sample Bank\" -> \"Other Name\"\n");
    for (const char* bad : {"broken.syx", "missing.syx"}) {
        const ProcessResult failed = vpt64({"diff", path("a.syx"), path(bad)});
        EXPECT_EQ(failed.exitCode, 2) << bad;
        EXPECT_EQ(failed.out, "") << bad;
        EXPECT_TRUE(failed.err.startsWith("vpt64: ") && failed.err.contains(path(bad)))
            << failed.err.toStdString();
    }
}

// The sheet of a bank in each of its three forms, written twice: the same bytes each time.
TEST_F(Vpt64, SheetWritesAnA4PdfPageAPngAndAnSvgOfTheBank) {
    writeAll(path("bank-042.syx"), defaultDump);
    const struct {
        const char* out;
        QStringList options;
        std::function<void(const QByteArray&)> check;
    } cases[] = {
        {"sheet.pdf",
         {"--bank", "7"},
         [](const QByteArray& pdf) {
             EXPECT_TRUE(pdf.startsWith("%PDF-"));
             EXPECT_EQ(pdf.count("/Type /Page\n"), 1);
             EXPECT_TRUE(pdf.contains("/Count 1"));
             EXPECT_TRUE(pdf.contains("/MediaBox [0 0 842.000000 595.000000]"));
         }},
        {"sheet.PNG",
         {},
         [](const QByteArray& png) {
             const QImage image = QImage::fromData(png, "PNG");
             EXPECT_EQ(image.size(), QSize(1754, 1240));
             EXPECT_NEAR(image.dotsPerMeterX() / 39.37, 150, 0.5);
         }},
        {"sheet.svg",
         {},
         [](const QByteArray& svg) {
             for (const char* text : {">Sample Bank<", ">Bank 42<", ">Reverb # 1<", ">CC 91 ch 1<",
                                      ">Volume #16<", ">Note C4 ch 6<", ">Note G5 ch 16<",
                                      ">ON/OFF<", ">SR 8: DIN SR #8 (Button ID #56-63)<"})
                 EXPECT_TRUE(svg.contains(text)) << text;
             EXPECT_TRUE(svg.contains("width=\"297.039mm\" height=\"209.903mm\""));
         }},
    };
    for (const auto& c : cases) {
        QByteArray first;
        for (const char* copy : {"1-", "2-"}) {
            const QString out = path(copy) + c.out;
            const ProcessResult made =
                vpt64(QStringList{"sheet", path("bank-042.syx"), out} + c.options);
            EXPECT_EQ(made.exitCode, 0) << c.out << made.err.toStdString();
            EXPECT_EQ(made.out, kTaken + "'" + out + "' saved.\n");
            const QByteArray bytes = readFileBytes(out);
            if (first.isEmpty()) first = bytes;
            EXPECT_EQ(bytes, first) << c.out << " differs when written again";
        }
        c.check(first);
    }
}

TEST_F(Vpt64, SheetCarriesADateOnlyWhenSourceDateEpochIsSet) {
    writeAll(path("in.syx"), defaultDump);
    QProcessEnvironment dated = QProcessEnvironment::systemEnvironment();
    dated.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("1700000000"));
    QProcessEnvironment undated = QProcessEnvironment::systemEnvironment();
    undated.remove(QStringLiteral("SOURCE_DATE_EPOCH"));
    const struct {
        const char* out;
        const char* date;
        const char* key; // what introduces a date in that kind of file
    } cases[] = {{"s.pdf", "/CreationDate (D:20231114221320Z)", "/CreationDate"},
                 {"s.png", "2023-11-14T22:13:20Z", "Creation Time"},
                 {"s.svg", "Created 2023-11-14T22:13:20Z", "Created"}};
    for (const auto& c : cases) {
        ASSERT_EQ(
            run(QStringLiteral(VPT64_CLI), {"sheet", path("in.syx"), path(c.out)}, dated).exitCode,
            0);
        EXPECT_TRUE(readFileBytes(path(c.out)).contains(c.date)) << c.out;
        ASSERT_EQ(run(QStringLiteral(VPT64_CLI), {"sheet", path("in.syx"), path(c.out)}, undated)
                      .exitCode,
                  0);
        EXPECT_FALSE(readFileBytes(path(c.out)).contains(c.key)) << c.out;
    }
}

TEST_F(Vpt64, SheetRefusesOtherExtensionsBadBankNumbersAndUnreadableInput) {
    writeAll(path("in.syx"), defaultDump);
    writeAll(path("broken.syx"), defaultDump.left(1000));
    const struct {
        QStringList args;
        int exitCode;
        const char* err;
    } cases[] = {
        {{"sheet", path("in.syx"), path("out.txt")}, 2, "must end in .pdf, .png or .svg"},
        {{"sheet", path("in.syx"), path("out")}, 2, "must end in .pdf, .png or .svg"},
        {{"sheet", path("in.syx"), path("out.pdf"), "--bank", "129"}, 2, "--bank must be"},
        {{"sheet", path("in.syx")}, 2, "sheet needs IN and OUT"},
        {{"sheet", path("missing.syx"), path("out.pdf")}, 2, "cannot read"},
        {{"sheet", path("broken.syx"), path("out.png")}, 1, ""},
    };
    for (const auto& c : cases) {
        const ProcessResult refused = vpt64(c.args);
        EXPECT_EQ(refused.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(refused.err.contains(c.err)) << refused.err.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "a file was written";
    }
}

// A library folder of banks 1, 5 and 128, a file that holds no valid dump and one that is no
// bank file of the library.
struct Vpt64Library : Vpt64 {
    QString library = path("library");
    QString bankFile(int bank) const { return library_folder::bankFilePath(library, bank); }
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(library));
        for (const int bank : {128, 5, 1})
            writeAll(bankFile(bank), defaultDump);
        writeAll(bankFile(2), defaultDump.left(1000));
        writeAll(library + "/notes.syx", defaultDump);
    }
};

TEST_F(Vpt64Library, SheetOfAFolderHasAPageForEachValidBankAndTheSameBytesEachTime) {
    QByteArray first;
    for (const char* copy : {"1.pdf", "2.pdf"}) {
        const QString out = path(copy);
        const ProcessResult made = vpt64({"sheet", library, out});
        EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
        EXPECT_EQ(made.out, "'" + out + "' saved.\n");
        // Qt may warn on its own; of ours only the one line.
        EXPECT_EQ(made.err.count("vpt64:"), 1) << made.err.toStdString();
        EXPECT_TRUE(
            made.err.contains("vpt64: bank 2 skipped: '" + bankFile(2) + "' holds no valid dump\n"))
            << made.err.toStdString();
        const QByteArray pdf = readFileBytes(out);
        if (first.isEmpty()) first = pdf;
        EXPECT_EQ(pdf, first) << copy << " differs when written again";
    }
    EXPECT_EQ(first.count("/Type /Page\n"), 3);
    EXPECT_TRUE(first.contains("/Count 3"));
}

TEST_F(Vpt64Library, SheetOfAFolderRefusesOtherFormatsBankNumbersAndFoldersWithoutBanks) {
    const QString empty = path("empty");
    const QString invalidOnly = path("invalid");
    ASSERT_TRUE(QDir().mkpath(empty));
    ASSERT_TRUE(QDir().mkpath(invalidOnly));
    writeAll(invalidOnly + "/bank-004.syx", "no dump");
    const struct {
        QStringList args;
        const char* err;
    } cases[] = {
        {{"sheet", library, path("out.png")}, "the sheets of a folder go into one PDF"},
        {{"sheet", library, path("out.svg")}, "the sheets of a folder go into one PDF"},
        {{"sheet", library, path("out.pdf"), "--bank", "3"}, "--bank is for one file"},
        {{"sheet", empty, path("out.pdf")}, "no valid bank-001.syx .. bank-128.syx in"},
        {{"sheet", invalidOnly, path("out.pdf")}, "no valid bank-001.syx .. bank-128.syx in"},
    };
    for (const auto& c : cases) {
        const ProcessResult refused = vpt64(c.args);
        EXPECT_EQ(refused.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(refused.err.contains(c.err)) << refused.err.toStdString();
        EXPECT_FALSE(QFile::exists(c.args[2])) << c.args.join(' ').toStdString();
    }
}

// Each command and option that --help lists opens an entry of the manual page.
TEST(Vpt64Manual, HasEveryCommandOfTheHelp) {
    const ProcessResult help = vpt64({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    QString manual = QString::fromUtf8(readFileBytes(QStringLiteral(VPT64_MAN_PAGE)));
    manual.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    static const QRegularExpression command(QStringLiteral("^  (-{0,2}[a-z][a-z0-9-]*)"),
                                            QRegularExpression::MultilineOption);
    QStringList commands;
    for (auto match = command.globalMatch(help.out); match.hasNext();)
        commands << match.next().captured(1);
    EXPECT_EQ(commands.size(), 18) << commands.join(' ').toStdString();
    for (const QString& name : commands) {
        const QRegularExpression entry("^(\\.BI? |\\\\fB)" + QRegularExpression::escape(name) +
                                           "( |\\\\fR|$)",
                                       QRegularExpression::MultilineOption);
        EXPECT_TRUE(entry.match(manual).hasMatch()) << name.toStdString();
    }
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    for (auto match = option.globalMatch(help.out); match.hasNext();) {
        const QString name = match.next().captured();
        const QRegularExpression whole(QRegularExpression::escape(name) + "(?![a-z-])");
        EXPECT_TRUE(whole.match(manual).hasMatch()) << name.toStdString();
    }
}

// "Cannot open output file." named no file, "None" was listed as port 0 though --out refused it,
// and --version was a bad command line.
TEST_F(Vpt64, VersionPortNumbersAndExportedNumbersAsTheEditorHasThem) {
    const ProcessResult version = vpt64({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("vpt64 " VPT64_VERSION " (built "))
        << version.out.toStdString();

    const ProcessResult ports = vpt64({"ports", "--api", "sim"});
    EXPECT_EQ(ports.out, "MIDI IN ports:\n  1: vPultron64 Simulator (Simulator)\n"
                         "MIDI OUT ports:\n  1: vPultron64 Simulator (Simulator)\n");
    writeAll(path("zero.syx"), encodeBank(BankRecord{}, 0));
    EXPECT_EQ(vpt64({"send", path("zero.syx"), "--api", "sim", "--out", "0"}).err,
              "vpt64: no port number 0 (see 'vpt64 ports')\n");

    // The editor shows a morph bank of 0 as 1, its lowest.
    ASSERT_EQ(vpt64({"export-ini", path("zero.syx"), path("zero.ini")}).exitCode, 0);
    EXPECT_TRUE(readFileBytes(path("zero.ini")).contains("[MORPH_BANK]\r\n   1\r\n"));
}

TEST(Vpultron64, ScreenshotRendersTheStartWindowsAndGalleryEveryPicture) {
    const struct {
        const char* option;
        QStringList written;
    } cases[] = {{"--screenshot", {"editor.png"}},
                 {"--gallery",
                  {"desk_minimal.png", "desk_mixer.png", "desk_pads.png", "editor.png", "sheet.png",
                   "vbox.png", "widgets.png"}}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const ProcessResult shot = run(QStringLiteral(VPT64_GUI), {c.option, dir.filePath("out")});
        EXPECT_EQ(shot.exitCode, 0) << c.option << shot.err.toStdString();
        EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files, QDir::Name), c.written)
            << c.option;
        const QImage editor(dir.filePath("out/editor.png"));
        EXPECT_GE(editor.width(), 577) << c.option;
        EXPECT_GE(editor.height(), 452) << c.option;
    }
}

TEST(Vpultron64, WithoutADisplayItSaysSoAndRendersScreenshots) {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    const ProcessResult started = run(QStringLiteral(VPT64_GUI), {}, env, dir.path());
    EXPECT_EQ(started.exitCode, 0) << started.err.toStdString();
    EXPECT_TRUE(started.err.contains("no display available")) << started.err.toStdString();
    EXPECT_FALSE(QImage(dir.filePath("screenshots/editor.png")).isNull());
}

TEST(Vpultron64, HelpVersionAndBadOptions) {
    const ProcessResult help = run(QStringLiteral(VPT64_GUI), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: vpultron64 [SETTINGS_FILE | DUMP.syx]"));
    const ProcessResult version = run(QStringLiteral(VPT64_GUI), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("vpultron64 ")) << version.out.toStdString();
    EXPECT_EQ(run(QStringLiteral(VPT64_GUI), {"--no-such-option"}).exitCode, 2);
    EXPECT_EQ(run(QStringLiteral(VPT64_GUI), {"--screenshot"}).exitCode, 2);
    EXPECT_EQ(run(QStringLiteral(VPT64_GUI), {"--gallery"}).exitCode, 2);
    EXPECT_EQ(run(QStringLiteral(VPT64_GUI), {"a.ini", "b.ini"}).exitCode, 2);
}

// Ctrl+C (here SIGTERM, as a service manager stops it) ends a backup with the bank it was
// fetching named, and the banks fetched before it kept.
TEST_F(Vpt64, InterruptedBackupNamesTheBankItStoppedAtAndKeepsTheOthers) {
    QProcess backup;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    backup.setProcessEnvironment(env);
    backup.start(QStringLiteral(VPT64_CLI), {"backup", "--api", "sim", "--in", "1", "--out", "1",
                                             "--banks", "1-128", "-o", path("library")});
    QByteArray output;
    while (!output.contains("Bank 1 received") && backup.waitForReadyRead(10000))
        output += backup.readAllStandardOutput();
    ASSERT_TRUE(output.contains("Bank 1 received")) << output.toStdString();
    backup.terminate();
    ASSERT_TRUE(backup.waitForFinished(10000));
    output += backup.readAllStandardOutput() + backup.readAllStandardError();
    EXPECT_EQ(backup.exitCode(), 1);
    EXPECT_EQ(output.count("vpt64: cancelled before bank 2\n"), 1) << output.toStdString();
    EXPECT_FALSE(output.contains("did not arrive")) << output.toStdString();
    EXPECT_TRUE(QFile::exists(path("library/bank-001.syx")));
}

// Library folders of these banks: 1 "Live Set" (pot 33 "CutOff # 1" on CC 74 ch 16, button 5
// toggling Note C4 ch 1), 2 "Studio" (pot 1 "Filter" on CC 74 ch 1) and 12 "Live Set 2" (pot 7
// "Volume" on CC 7 ch 16); the other controls are those of an empty bank.
struct Vpt64Folders : Vpt64 {
    using Banks = std::map<int, BankRecord>;
    static BankRecord bank(const char* name, int pot, const char* label, PotEntry entry) {
        BankRecord record;
        record.setBankName(name);
        record.setPot(pot, entry);
        record.setPotLabel(pot, label);
        return record;
    }
    Banks banks = [] {
        Banks banks{{1, bank("Live Set", 33, "CutOff # 1", {0x3F, 74, 0, 127})},
                    {2, bank("Studio", 1, "Filter", {0x30, 74, 0, 127})},
                    {12, bank("Live Set 2", 7, "Volume", {0x3F, 7, 0, 127})}};
        banks[1].setButton(5, {0x10, 60, 127, 2});
        return banks;
    }();
    QString folder(const char* name, const Banks& banks) {
        const QString folder = path(name);
        EXPECT_TRUE(QDir().mkpath(folder));
        for (const auto& [number, record] : banks)
            writeAll(library_folder::bankFilePath(folder, number), encodeBank(record, 0));
        return folder;
    }
};

// Every line holds all the words, in any case; numbers are whole; the bank's name narrows a
// search; a file without a valid dump is skipped with a note.
TEST_F(Vpt64Folders, FindPrintsEachLineOfTheFolderHoldingEveryWord) {
    const QString library = folder("library", banks);
    writeAll(library_folder::bankFilePath(library, 3), "no dump");
    const QString note = "vpt64: bank 3 skipped: '" + library_folder::bankFilePath(library, 3) +
                         "' holds no valid dump\n";
    const struct {
        QStringList words;
        int exitCode;
        QString out;
    } cases[] = {
        {{"cc", "74", "ch", "16"}, 0, "bank-001.syx pot 33 \"CutOff # 1\": CC 74 ch 16, 0-127\n"},
        {{"CUTOFF"}, 0, "bank-001.syx pot 33 \"CutOff # 1\": CC 74 ch 16, 0-127\n"},
        {{"Cc 74"},
         0,
         "bank-001.syx pot 33 \"CutOff # 1\": CC 74 ch 16, 0-127\n"
         "bank-002.syx pot 1 \"Filter\": CC 74 ch 1, 0-127\n"},
        {{"live", "cc", "74"}, 0, "bank-001.syx pot 33 \"CutOff # 1\": CC 74 ch 16, 0-127\n"},
        {{"LIVE"}, 0, "bank-001.syx name \"Live Set\"\nbank-012.syx name \"Live Set 2\"\n"},
        {{"cc", "7"}, 0, "bank-012.syx pot 7 \"Volume\": CC 7 ch 16, 0-127\n"},
        {{"note", "c4", "toggle"}, 0, "bank-001.syx button 5: Note C4 ch 1, TOGGLE\n"},
        {{"filter", "0-127"}, 0, "bank-002.syx pot 1 \"Filter\": CC 74 ch 1, 0-127\n"},
        {{"cc", "74", "ch", "2"}, 1, ""},
        {{"studio"}, 0, "bank-002.syx name \"Studio\"\n"},
        {{"nothing"}, 1, ""},
    };
    for (const auto& c : cases) {
        const ProcessResult found = vpt64(QStringList{"find", library} + c.words);
        EXPECT_EQ(found.exitCode, c.exitCode) << c.words.join(' ').toStdString();
        EXPECT_EQ(found.out, c.out) << c.words.join(' ').toStdString();
        EXPECT_EQ(found.err, note) << c.words.join(' ').toStdString();
    }
    writeAll(path("file.syx"), defaultDump);
    const struct {
        QStringList args;
        QString err;
    } refused[] = {
        {{"find", path("missing"), "cc"}, "vpt64: there is no folder '" + path("missing") + "'\n"},
        {{"find", path("file.syx"), "cc"}, "vpt64: '" + path("file.syx") + "' is no folder\n"},
        {{"find", library, " "}, "vpt64: find needs at least one word to look for\n"},
    };
    for (const auto& r : refused) {
        const ProcessResult failed = vpt64(r.args);
        EXPECT_EQ(failed.exitCode, 2) << r.args.join(' ').toStdString();
        EXPECT_EQ(failed.out + failed.err, r.err);
    }
}

TEST_F(Vpt64Folders, DiffOfTwoFoldersHeadsEachBankThatDiffersWithItsNames) {
    const QString a = folder("a", banks);
    Banks changed = banks;
    changed[1].setBankName("Live Set X");
    changed[1].setPot(33, {0x3F, 75, 0, 127});
    changed[2].setPot(1, {0x30, 75, 0, 127});
    Banks fewer = banks;
    fewer.erase(12);
    const QString invalid = folder("invalid", banks);
    writeAll(library_folder::bankFilePath(invalid, 2), "no dump");
    writeAll(path("file.syx"), defaultDump);
    const struct {
        QString other;
        int exitCode;
        QString out, err;
    } cases[] = {
        {folder("same", banks), 0, "", ""},
        {folder("changed", changed), 1,
         "bank 1: \"Live Set\" -> \"Live Set X\"\n"
         "pot 33 controller: 74 -> 75\n"
         "bank name: \"Live Set\" -> \"Live Set X\"\n"
         "bank 2: \"Studio\"\n"
         "pot 1 controller: 74 -> 75\n",
         ""},
        {folder("fewer", fewer), 1, "bank 12: only in A\n", ""},
        {invalid, 2, "",
         "vpt64: bank 2: '" + library_folder::bankFilePath(invalid, 2) + "' holds no valid dump\n"},
        {path("missing"), 2, "", "vpt64: there is no folder '" + path("missing") + "'\n"},
        {path("file.syx"), 2, "",
         "vpt64: '" + a + "' is a folder and '" + path("file.syx") +
             "' is not: diff compares two dump files or two library folders\n"},
    };
    for (const auto& c : cases) {
        const ProcessResult compared = vpt64({"diff", a, c.other});
        EXPECT_EQ(compared.exitCode, c.exitCode) << c.other.toStdString();
        EXPECT_EQ(compared.out, c.out) << c.other.toStdString();
        EXPECT_EQ(compared.err, c.err) << c.other.toStdString();
    }
    const ProcessResult reversed = vpt64({"diff", path("fewer"), a});
    EXPECT_EQ(reversed.exitCode, 1);
    EXPECT_EQ(reversed.out, "bank 12: only in B\n");
}
