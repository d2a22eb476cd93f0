// TForm1: the editor window. Owns the bank, the dump buffers, the transfer timers and the
// pages, and runs the start-up sequence.
#pragma once

#include "bank_record.h"
#include "dump_buffer.h"
#include "dump_codec.h"

#include <QWidget>
#include <memory>

class HelpPage;
class QTabWidget;
class QTimer;
class StatusLog;
class TMidiIn;
class TMidiOut;
class TransferController;
class TransferPage;

class TForm1 : public QWidget {
    Q_OBJECT
    // Declared first: the buffer references below are bound to it during construction.
    struct Buffers;
    std::unique_ptr<Buffers> m_buffers;

public:
    struct Options {
        QString settingsFile; // settings file named on the command line, empty for the default
        QString midiApi = QStringLiteral("all"); // MIDI systems offered: alsa, jack, sim or all
    };

    explicit TForm1(const Options& options, QWidget* parent = nullptr);
    ~TForm1() override;

    // The record and the three dump buffers live as long as the window.
    BankRecord record;
    DumpBuffer& OutgoingDump;
    DumpBuffer& IncomingDump;
    DumpBuffer& MessageBuffer;

    QTabWidget* PageControl = nullptr;
    TransferPage* FileSheet = nullptr;
    QWidget* BoxSettingsTabsheet = nullptr;
    QWidget* PotSettings = nullptr;
    QWidget* ButtSettings = nullptr;
    HelpPage* HelpTabSheet = nullptr;

    QString PresetFileName; // the settings file's path

    QTimer* WaitTimer = nullptr;
    QTimer* SysexHeadTimer = nullptr;
    QTimer* StartupTimer = nullptr;

    // The MIDI ports; they live in the transfer controller, as long as the window.
    TMidiIn* MidiIn1 = nullptr;
    TMidiOut* MidiOut1 = nullptr;
    TransferController& transfer() const { return *m_transfer; }
    void UpdateMIDIPorts();
    void UpdateButtonStatus();

    void WriteMsg(const QString& text);
    StatusLog& statusLog() const;

    int DumpToRecord(const DumpBuffer& source, BankRecord& target);
    int RecordToDump(BankRecord& source, DumpBuffer& target);

    // Moves the global settings between the record and the pages.
    void LoadSettingsToForm();
    void SaveSettingsFromForm();

    void HintsButtonClick();

private:
    void FormCreate(const Options& options);
    void createPages();
    void createTimers();
    void connectControls();
    void showOutgoingDump();
    void decodeBuiltInDump();
    void StartupTimerTimer();

    DumpCodec m_codec;
    std::unique_ptr<TransferController> m_transfer;
};
