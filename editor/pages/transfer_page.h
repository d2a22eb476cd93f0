// TransferPage: the "MIDI Transfer" page: ports, upload and request, files, counters and log.
#pragma once

#include <QComboBox>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class SpinEdit;
class StatusLog;
class LiveStatus;
class TVrAniButton;
class TVrBitmapDial;

// PortSelector: a port selector that says when its list closes, so that the list is never
// changed under the user's pointer.
class PortSelector : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    bool droppedDown() const;
    void showPopup() override;

signals:
    void popupClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class TransferPage : public QWidget {
    Q_OBJECT
public:
    explicit TransferPage(QWidget* parent = nullptr);

    // The project's web address shown under the release line.
    static QString webAddress();

    QWidget* releaseArea = nullptr; // holds the two labels that the test knob slides
    QLabel* TestReleaseLabel = nullptr;
    QLabel* KelmoURLLabel = nullptr;
    TVrBitmapDial* TestKnob = nullptr;  // slides the two labels; its skin list is the window's
    TVrAniButton* TestButton = nullptr; // shows the skinned button
    QPushButton* HintsButton = nullptr;
    QPushButton* ShowFaderDesk = nullptr;
    QPushButton* ShowMidiMonitor = nullptr;
    QPushButton* SelecCustomBox = nullptr;
    PortSelector* MIDIInComboBox = nullptr;
    PortSelector* MIDIOutComboBox = nullptr;
    QLabel* StatusLabel = nullptr;
    LiveStatus* ResultLine = nullptr; // how the last transfer or step ended, spoken
    QPushButton* OpenSysex = nullptr;
    QPushButton* StoreSysex = nullptr;
    QPushButton* BankSheet = nullptr; // saves the bank as a sheet to print
    QPushButton* PrintSheet = nullptr; // prints the sheet from its preview
    QLabel* BytesToSend = nullptr;
    QLabel* BlocksToSend = nullptr;
    QLabel* SendType = nullptr;
    QPushButton* SlowSendToPultron = nullptr;
    QPushButton* RequestSysexDump = nullptr;
    QLabel* BytesReceived = nullptr;
    QLabel* BlocksReceived = nullptr;
    QLabel* Label24 = nullptr; // "Bytes received: "
    QLabel* Label2 = nullptr;  // "Blocks received:"
    SpinEdit* SysexSendSpeed = nullptr;
    SpinEdit* DeviceID = nullptr;
    SpinEdit* PatternNumber = nullptr;
    StatusLog* ListBox = nullptr;
    // Shown while "Send Sysex" or "Request Sysex Dump" runs.
    QWidget* progressRow = nullptr;
    QProgressBar* TransferProgressBar = nullptr;
    QLabel* TimeLeft = nullptr;
    QPushButton* CancelTransfer = nullptr;

    // Moves the release line and the web link to the given left edge.
    void setReleaseLeft(int x);
    void setStatus(const QString& text, const QColor& colour);

signals:
    void webLinkClicked(const QString& url);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makeHeader();
    void makeSkinnedControls();
    QWidget* makePortsGroup();
    QWidget* makeTransferGroup();
    QWidget* makeProgressRow();
};
