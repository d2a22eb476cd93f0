// Opening and storing banks, the converter export, dropped files, the start-up bank and the
// transfer settings kept between runs, on the real editor window.
#include "../core/default_dump.h"
#include "../files/read_only_folder.h"
#include "box_config_page.h"
#include "button_page.h"
#include "converter_ini.h"
#include "file_bytes.h"
#include "library_page.h"
#include "midi_monitor_window.h"
#include "page_test_support.h"
#include "pot_page.h"
#include "registry_settings.h"
#include "spin_edit.h"
#include "status_log.h"
#include "syx_file.h"
#include "transfer_page.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QUrl>

namespace {

class FileActions : public page_test::EditorTest {
protected:
    void SetUp() override { registry_settings::open()->clear(); }

    QString file(const char* name, const QByteArray& bytes) const {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    }
    // A bank that differs from the one the window starts with.
    static QByteArray otherDump() {
        BankRecord bank;
        bank.setBankName("OTHER");
        return encodeBank(bank, 0);
    }
    QStringList log() const { return form->statusLog().lines(); }
    QByteArray outgoing() const {
        const auto bytes = form->OutgoingDump.used();
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    QString stored(const char* name) const {
        return registry_settings::open()->value(QString::fromLatin1(name)).toString();
    }
};

} // namespace

TEST_F(FileActions, ADumpLoadsWithItsFormatTakenFromTheFifthByte) {
    start();
    const std::pair<QByteArray, QString> cases[] = {
        {otherDump(), "Pultron64 format"},
        {QByteArray::fromHex("f0411042f7") + otherDump(), "unknown format"}};
    for (const auto& [bytes, format] : cases) {
        form->record = BankRecord{};
        QSignalSpy replaced(form.get(), &TForm1::bankReplaced);
        const QString path = file("bank.syx", bytes);
        form->ReadDumpFile(path);
        EXPECT_EQ(log().mid(log().size() - 2),
                  QStringList({"Copied SysEx Dump to Configuration Structure",
                               QStringLiteral("'%1' loaded (%2)").arg(path, format)}));
        EXPECT_EQ(form->FileSheet->SendType->text(), format);
        EXPECT_EQ(form->record.bankName(), "OTHER");
        EXPECT_EQ(outgoing(), bytes);
        EXPECT_EQ(replaced.count(), 1);
    }
}

TEST_F(FileActions, FilesTheDecoderRejectsKeepTheRecordAndTheDump) {
    start();
    QByteArray random(10000, '\0');
    for (char& c : random)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    const QString paths[] = {
        file("empty.syx", {}),
        file("truncated.syx", otherDump().left(1500)),
        file("random.syx", random),
        file("late.syx", QByteArray(256000, '\x7F') + otherDump()), // only 256000 bytes are read
        dir.path(),                                                 // cannot be read as a file
    };
    const BankRecord before = form->record;
    const QByteArray dumpBefore = outgoing();
    for (const QString& path : paths) {
        form->statusLog().clear();
        form->ReadDumpFile(path);
        EXPECT_EQ(log().last(), "ERROR: Dump data not taken due to previous error(s)!");
        EXPECT_FALSE(log().join('\n').contains("loaded")) << path.toStdString();
        EXPECT_EQ(form->record, before);
        EXPECT_EQ(outgoing(), dumpBefore);
    }
    EXPECT_TRUE(log().first().startsWith("ERROR: dump not complete, got only 0 bytes"));
}

TEST_F(FileActions, StoringUnchangedIsByteIdenticalAndAnEditSurvivesAFreshWindow) {
    start();
    const QByteArray original = QByteArray::fromHex("f0411042f7") + otherDump();
    form->openSysexFile(file("original.syx", original));
    const QString same = dir.filePath("same.syx");
    form->storeSysexFile(same, 1);
    EXPECT_EQ(readFileBytes(same), original);
    EXPECT_EQ(log().last(), QStringLiteral("'%1' saved.").arg(same));

    showPage(form->PotSettings);
    form->PotSettings->selectPot(5);
    page_test::typeAndLeave(form->PotSettings->PotLabel, "EDITED");
    form->FileSheet->DeviceID->setValue(3);
    const QString edited = dir.filePath("edited.syx");
    form->storeSysexFile(edited, 1);
    EXPECT_EQ(quint8(readFileBytes(edited).at(5)), 0x34); // device id 3, dump block

    TForm1 fresh(TForm1::Options{settingsFile});
    fresh.openSysexFile(edited);
    EXPECT_EQ(fresh.record.potLabel(5), "EDITED");
    EXPECT_EQ(fresh.record, form->record);
}

TEST_F(FileActions, EachSaveFilterEntryWritesItsKindOfFile) {
    start();
    const QByteArray syx = QByteArray::fromHex("f000007e43");
    const std::tuple<int, qsizetype, QByteArray> cases[] = {
        {1, 2120, syx},
        {2, 0, "# Export from vPultron64 : Release : "},
        {3, 2071, "MThd"},
        {4, 14 + 8 + 268 + 7 * 269 + 4, "MThd"}, // blocks 750 ms apart
        {7, 2120, syx}};
    for (const auto& [entry, size, start] : cases) {
        const QString path = dir.filePath(QStringLiteral("file%1").arg(entry));
        form->storeSysexFile(path, entry);
        const QByteArray written = readFileBytes(path);
        EXPECT_TRUE(written.startsWith(start)) << entry;
        EXPECT_TRUE(size == 0 || written.size() == size) << entry;
    }
}

TEST_F(FileActions, AFailedWriteKeepsTheOldFileAndTellsTheUser) {
    start();
    const QString old = file("old.syx", "old contents");
    ReadOnlyFolder readOnly(dir.path());
    for (const QString& path : {dir.filePath("no/such/folder/new.syx"), old}) {
        if (path == old && !readOnly.effective()) continue;
        testing::internal::CaptureStderr();
        form->storeSysexFile(path, 1);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Cannot open output file.\n"),
                  std::string::npos);
        EXPECT_TRUE(log().last().startsWith(QStringLiteral("ERROR: '%1' not saved - ").arg(path)));
        auto* message = form->findChild<QMessageBox*>("FileWriteError");
        ASSERT_TRUE(message && message->isVisible());
        EXPECT_EQ(message->windowTitle(), "File Error");
        EXPECT_TRUE(message->text().contains(path));
        // Only a file that was there before can be said to be unchanged.
        EXPECT_EQ(message->text().contains("An earlier file"), path == old);
        delete message;
    }
    EXPECT_EQ(readFileBytes(old), "old contents");
}

TEST_F(FileActions, ExportStepsTheEditorsAndLeavesThemWhereTheyWere) {
    const ButtonEntry first = defaultRecord().button(1);
    const int key = fullStatus(first.status) << 16 | first.data1 << 8 | first.data2;
    start("[BUTTONPRESETS]\n" + QByteArray::number(key, 16) + "=Mine\n");
    form->PotSettings->selectPot(9);
    form->ButtSettings->selectButton(12);
    form->SaveSettingsFromForm(); // the export's first step
    const BankRecord before = form->record;
    qputenv("SOURCE_DATE_EPOCH", "1000000000");
    const QString path = dir.filePath("bank.ini");
    form->ExportConverterIni(path);

    EXPECT_EQ(form->PotSettings->selectedPot(), 9);
    EXPECT_EQ(form->PotSettings->PotNumber->value(), 9);
    EXPECT_EQ(form->ButtSettings->selectedButton(), 12);
    EXPECT_EQ(form->ButtSettings->ButtNumber->value(), 12);
    EXPECT_EQ(form->record, before);
    EXPECT_EQ(log().last(), QStringLiteral("'%1' saved in dump_kit '.ini' format.").arg(path));
    // What the editors showed, pot by pot and button by button, is what the bank holds.
    const ConverterIniHeader header{form->FileSheet->TestReleaseLabel->text(),
                                    TransferPage::webAddress(), converterIniTime()};
    const QByteArray expected =
        converterIniText(header, before, converterIniPots(before),
                         converterIniButtons(before, {QString::number(key, 16)}, {"Mine"}));
    EXPECT_EQ(readFileBytes(path), expected);
    EXPECT_TRUE(expected.contains("   # Preset : Mine\r\n 2  = "));
    EXPECT_TRUE(expected.contains("# Data Generated on : 2001-09-09 01:46:40\r\n"));
    qunsetenv("SOURCE_DATE_EPOCH");
}

TEST_F(FileActions, DialogsOfferTheirFiltersNamesAndFolders) {
    start();
    form->SysexOpenDialogDir = form->SysexSaveDialogDir = dir.path();
    const std::unique_ptr<QFileDialog> open(form->makeSysexOpenDialog());
    const std::unique_ptr<QFileDialog> save(form->makeSysexSaveDialog());
    EXPECT_EQ(open->windowTitle(), "Open Sysex File");
    EXPECT_EQ(save->windowTitle(), "Save Sysex File To ...");
    EXPECT_EQ(open->nameFilters(), QStringList({"PULTRON 64 sysex file (*.syx)", "Any File (*)"}));
    EXPECT_EQ(save->nameFilters(),
              QStringList({"PULTRON 64 sysex file (*.syx)", "dumpkit INI file (*.INI)",
                           "Midi file (*.mid)", "Standard MIDI File with SysEx (*.mid)"}));
    EXPECT_EQ(open->selectedFiles(), QStringList{}); // no made-up name that cannot be opened
    EXPECT_EQ(save->selectedFiles(), QStringList{dir.filePath("custom.syx")});
    const QString usual = file("pultron64.syx", otherDump());
    const std::unique_ptr<QFileDialog> again(form->makeSysexOpenDialog());
    EXPECT_EQ(again->selectedFiles(), QStringList{usual});
    EXPECT_TRUE(again->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->isEnabled());
    EXPECT_EQ(open->defaultSuffix(), "syx");
    EXPECT_EQ(save->defaultSuffix(), "syx");
    emit save->filterSelected(save->nameFilters().at(1));
    EXPECT_EQ(save->defaultSuffix(), "INI");
}

// The store dialog starts where the last store went, in this run and the next.
TEST_F(FileActions, StoreDialogRemembersItsFolder) {
    start();
    QTemporaryDir elsewhere;
    for (const QString& folder : {dir.path(), elsewhere.path()}) {
        form->storeSysexFile(QDir(folder).filePath("bank.mid"), 3);
        const std::unique_ptr<QFileDialog> save(form->makeSysexSaveDialog());
        EXPECT_EQ(save->directory().path(), folder);
    }
    form->close();
    EXPECT_EQ(stored("SAVE_PATH"), elsewhere.path());
}

TEST_F(FileActions, ADroppedSyxFileOpensAndOtherDropsAreRefused) {
    start();
    const auto drop = [this](QEvent::Type type, const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDropEvent event(form->rect().center(), Qt::CopyAction, &mime, Qt::LeftButton,
                         Qt::NoModifier, type);
        QApplication::sendEvent(form.get(), &event);
        return event.isAccepted();
    };
    const BankRecord before = form->record;
    const QString title = form->windowTitle();
    for (const QString& refused : {file("notes.txt", otherDump()), dir.filePath("gone.syx")}) {
        EXPECT_EQ(drop(QEvent::DragEnter, refused), refused.endsWith(".syx"));
        drop(QEvent::Drop, refused);
    }
    EXPECT_EQ(form->record, before);
    EXPECT_EQ(form->windowTitle(), title);

    const QString syx = file("dropped.SYX", otherDump());
    EXPECT_TRUE(drop(QEvent::DragEnter, syx));
    EXPECT_TRUE(drop(QEvent::Drop, syx));
    EXPECT_EQ(form->record.bankName(), "OTHER");
    EXPECT_EQ(form->windowTitle(), "SysexBox : dropped.SYX[*]");
    EXPECT_EQ(form->SysexOpenDialogDir, dir.path());
    EXPECT_EQ(log().last(), QStringLiteral("'%1' loaded (Pultron64 format)").arg(syx));
}

TEST_F(FileActions, StartupBankFromTheSettingsFile) {
    const QString bank = file("start.syx", otherDump());
    start("[CUSTOMSYSEX]\nFILENAME=" + bank.toLocal8Bit() + "\n");
    EXPECT_EQ(form->windowTitle(), "Virtual Pultron64 : start.syx[*]");
    EXPECT_EQ(form->SysexOpenDialogDir, dir.path());
    EXPECT_EQ(form->BoxSettingsTabsheet->BankLabel->text(), "OTHER");
    EXPECT_EQ(log().last(), QStringLiteral("'%1' loaded (Pultron64 format)").arg(bank));
}

TEST_F(FileActions, FirstRunTakesTheDefaultsAndClosingStoresThem) {
    start();
    const TransferPage& page = *form->FileSheet;
    EXPECT_EQ(std::make_tuple(page.MIDIInComboBox->currentIndex(),
                              page.MIDIOutComboBox->currentIndex(), page.SysexSendSpeed->value(),
                              page.DeviceID->value(), page.PatternNumber->value()),
              std::make_tuple(0, 0, 750, 0, 1));
    const QString programDir = QCoreApplication::applicationDirPath();
    EXPECT_EQ(form->SysexOpenDialogDir, programDir);
    EXPECT_EQ(form->SysexSaveDialogDir, programDir);

    form->close();
    QStringList texts;
    for (const char* name : {"MIDI_IN_PORT", "MIDI_OUT_PORT", "BLOCK_DELAY", "DEVICE_ID",
                             "PATTERN_NUMBER", "SAVE_PATH", "OPEN_PATH"})
        texts << stored(name);
    EXPECT_EQ(texts, QStringList({"0", "0", "750", "0", "1", programDir, programDir}));
}

TEST_F(FileActions, ClosingWritesTheSettingsOnlyWhenTheyChanged) {
    start();
    form->close();
    const QString conf = registry_settings::open()->fileName();
    QFile file(conf);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("; not rewritten\n"); // a rewrite of the file would drop this comment
    file.close();
    const auto comment = [&] {
        QFile read(conf);
        return read.open(QIODevice::ReadOnly) && read.readAll().contains("; not rewritten");
    };
    start();
    form->close();
    EXPECT_TRUE(comment());
    start();
    form->FileSheet->SysexSendSpeed->setValue(900);
    form->close();
    EXPECT_FALSE(comment());
    EXPECT_EQ(stored("BLOCK_DELAY"), "900");
}

TEST_F(FileActions, StoredValuesAreCheckedAndClampedByTheirControls) {
    for (const auto& [name, text] : {std::pair{"MIDI_OUT_PORT", "3"}, // one output device here
                                     {"MIDI_IN_PORT_NAME", "vPultron64 Simulator"},
                                     {"BLOCK_DELAY", "5000"},
                                     {"DEVICE_ID", "9"},
                                     {"PATTERN_NUMBER", "abc"},
                                     {"OPEN_PATH", "/somewhere"}})
        registry_settings::open()->setValue(name, text);
    start();
    const TransferPage& page = *form->FileSheet;
    EXPECT_EQ(page.MIDIOutComboBox->currentIndex(), 0);
    EXPECT_EQ(page.MIDIInComboBox->currentText(), "vPultron64 Simulator");
    EXPECT_EQ(page.SysexSendSpeed->value(), 1000);
    EXPECT_EQ(page.DeviceID->value(), 7);
    EXPECT_EQ(page.PatternNumber->value(), 1);
    EXPECT_EQ(form->SysexOpenDialogDir, "/somewhere");

    form->close();
    EXPECT_EQ(stored("MIDI_IN_PORT"), QString::number(page.MIDIInComboBox->currentIndex()));
    EXPECT_EQ(stored("MIDI_IN_PORT_NAME"), "vPultron64 Simulator");
    EXPECT_EQ(stored("MIDI_OUT_PORT_NAME"), "");
}

TEST_F(FileActions, LibraryFolderIsKeptBetweenRuns) {
    start();
    form->LibrarySheet->openFolder(dir.path());
    form->close();
    EXPECT_EQ(stored("LIBRARY_PATH"), dir.path());
    start();
    EXPECT_EQ(form->LibraryFolder, dir.path());
    EXPECT_EQ(form->LibrarySheet->FolderPath->text(), QDir::toNativeSeparators(dir.path()));
    EXPECT_EQ(form->LibrarySheet->table().folder(), dir.path());
}

// The editor and the MIDI monitor come back where they were; a place off every screen (a screen
// gone since) puts the window on the screen there is.
TEST_F(FileActions, WindowsComeBackWhereTheyWereAndOntoAScreen) {
    const auto windows = [this] {
        return std::array<QWidget*, 2>{form.get(), &form->midiMonitor()};
    };
    const auto placeOf = [](const QWidget* window) { return QRect(window->pos(), window->size()); };
    std::array<QRect, 2> places;
    start();
    form->showMidiMonitor();
    for (std::size_t i = 0; i < places.size(); ++i) {
        windows()[i]->resize(780 - int(i) * 100, 700); // as far as their least sizes let them
        windows()[i]->move(10 + int(i) * 5, 20);
        places[i] = placeOf(windows()[i]);
    }
    form->close();
    start();
    form->showMidiMonitor();
    for (std::size_t i = 0; i < places.size(); ++i)
        EXPECT_EQ(placeOf(windows()[i]), places[i]) << i;

    form->close();
    registry_settings::open()->setValue("MIDI_MONITOR_WINDOW", "-5000 9000 420 300");
    start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(placeOf(&form->midiMonitor())));
}

// vpt64 export-ini once wrote MorphBank 0 where the editor wrote 1: both limit a bank's numbers
// to the editor's fields, so both write the same text for a bank that goes beyond them.
TEST_F(FileActions, EditorAndVpt64ExportTheSameTextForValuesBeyondTheFields) {
    start("[BUTTONPRESETS]\n903C7F=Low Bongo\n");
    BankRecord bank; // all zero: morph bank 0, touch sensitivity 0, status bytes 0x80
    bank.setGlobalMidiChannel(99);
    bank.setMorphPotGlobal(70);
    bank.setMorphPotGroup(2, 200);
    bank.setTouchsensorSensitivity(40);
    bank.setSroutMap(3, 30);
    bank.setButton(1, {0x00, 0x3C, 0x7F, 7});
    form->ReadDumpFile(file("beyond.syx", encodeBank(bank, 0)));
    const BankRecord decoded = form->record; // what vpt64 decodes from the same file
    qputenv("SOURCE_DATE_EPOCH", "1000000000");
    const QString path = dir.filePath("beyond.ini");
    form->ExportConverterIni(path);
    const ConverterIniHeader header{form->FileSheet->TestReleaseLabel->text(),
                                    TransferPage::webAddress(), converterIniTime()};
    const QByteArray vpt64 = converterIniTextOfBank(header, decoded, {"903C7F"}, {"Low Bongo"});
    EXPECT_EQ(readFileBytes(path), vpt64);
    EXPECT_TRUE(vpt64.contains("[MORPH_BANK]\r\n   1\r\n"));
    EXPECT_TRUE(vpt64.contains("   4  = 90 00 [00-00:00]")); // Note Off is not offered
    qunsetenv("SOURCE_DATE_EPOCH");
}
