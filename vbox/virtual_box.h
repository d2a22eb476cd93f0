// VirtualBox: plays the bank on the desk. Builds and fills the standard desk, turns control
// events into bank changes and short messages, keeps the LCD, and moves pot controls for
// incoming MIDI. The desk window is created when it is first needed.
#pragma once

#include "edit_keys.h"
#include "control_registry.h"
#include "custom_desk.h"
#include "desk_actions.h"
#include "incoming_midi.h"
#include "lcd_messages.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

class DeskHost;
class TFaderDesk;
class TLCDLabel;
class QWidget;

class VirtualBox : public QObject {
    Q_OBJECT
public:
    VirtualBox(BankRecord& bank, DeskHost& host, QObject* parent = nullptr);
    ~VirtualBox() override;

    // The desk window, created on first use.
    TFaderDesk& FaderDesk();
    bool deskExists() const { return m_desk != nullptr; }
    // The desk in use can be played: the standard window is visible or a custom desk exists.
    bool deskVisible() const;
    // The custom desk window built last, if any.
    TCustomDesk* customDesk() const { return m_customDesk.get(); }
    // The skin lists that custom desks draw from and append to (the editor owns them).
    void setSkinLists(SkinLists skins) { m_skins = skins; }

    ControlRegistry& registry() { return m_registry; }
    DeskActions& actions() { return m_actions; }
    int LcdDisplayMode() const { return m_lcdMode; }
    const lcd_text::Lines& LcdLines() const { return m_lcdLines; }

    // Rebuilds the desk from the bank and shows it; the custom desk instead when its file exists.
    // The standard desk shown puts an earlier custom desk window away: it is no longer in use.
    void GenerateFaderDeskExecute();
    // Builds the custom desk from the host's desk file, when that is a regular file, and shows it.
    void NewFormFromINIExecute();
    // Writes `window` as "customdesk.ini" into the program's folder (or the documents folder
    // when that cannot be written) and logs where it went; returns the path, empty on failure.
    QString DumpFormToINI(const QWidget& window, const QString& programFolder);
    // The editor has closed: the desk windows close with it, and the editor stays closed.
    void closeDeskWindows();
    // After a bank arrived: rebuilt in the background, the window hidden.
    void rebuildAfterBank();
    void ClearDesk();
    void BuildDefaultDesk();
    void FillDeskFromBank();

    // Control events; the sender is the desk control.
    void ControlAction(QObject* sender);
    void KnobAction(QObject* sender);
    void ButtPush(QObject* sender, Qt::MouseButton button);
    void ButtRelease(QObject* sender);
    void ControlEdit(QObject* sender, Qt::MouseButton button);
    void PotMoved(int index, int value);
    void ButtonPressed(int index);
    void ButtonReleased(int index);

    void SetLcdLine(int line, const std::string& text);
    void RefreshLcd(int id);
    void BackLightLCDPanelClick();
    void LCDPanelClick();

    // Incoming short messages that no learn switch took.
    void MatchIncomingToPots(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void MovePotControl(int index, int value);

    // The pot editor changed pot n's range, value or label: its knob follows.
    enum class PotField { Minimum, Maximum, Position };
    void followPotEditor(int n, PotField field, int value);
    void followPotHint(int n, const QString& hint);

private:
    void wireKnob(QObject* knob);
    void wireLcd(class TLCDLabel* lcd);
    void wireCustomControl(QWidget* control);
    void wireButton(QObject* button);
    void showLines(const lcd_text::Lines& lines);
    void customDeskClosed();
    void discardCustomDesk();
    void send(int potIndex, const std::optional<ShortMessage>& message);
    // Pot controls that follow the editor: while the desk is in use, the knob of pot n.
    class TKnob* followingKnob(int n) const;

    BankRecord& m_bank;
    DeskHost& m_host;
    std::unique_ptr<TFaderDesk> m_desk;
    std::unique_ptr<TCustomDesk> m_customDesk;
    bool m_editorHiddenByDesk = false; // closing the custom desk brings the editor back
    CustomDeskBuilder m_builder;
    SkinLists m_skins;
    ControlRegistry m_registry;
    DeskActions m_actions;
    EchoFilter m_echoes;
    EditKeys m_editKeys{[this](QObject* control) { ControlEdit(control, Qt::RightButton); }};
    lcd_text::Lines m_lcdLines;
    int m_lcdMode = lcd_text::kReport;
    QPointer<TLCDLabel> m_currentLcd;
    // The pot whose action is running: the editor's echo of its value must not move its knob
    // again (that would send the value twice).
    std::optional<int> m_movingPot;
};
