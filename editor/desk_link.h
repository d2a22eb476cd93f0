// DeskLink: joins the editor window and its virtual box. It is the desk's host (MIDI output,
// pot editor, right-click to a page, motorised pots), routes incoming short messages to learn
// mode or to the desk, keeps the learn switches apart, and makes each turn gesture on the desk one
// undo step.
#pragma once

#include "desk_host.h"
#include "pot_page.h"
#include "virtual_box.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>

class TForm1;
class TMidiIn;

class DeskLink : public QObject, public DeskHost {
    Q_OBJECT
public:
    explicit DeskLink(TForm1& form);

    VirtualBox& box() { return m_box; }

    void MidiIn1Short(TMidiIn* sender, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void LearnPotClick();
    void LearnButtClick();

    void sendShortMessage(const ShortMessage& message) override;
    void potValueChanged(int potIndex, int value) override;
    void editPot(int potNumber) override;
    void editButton(int buttonNumber) override;
    bool motorizedPots() const override;
    QString customDeskFile() const override;
    bool hideEditorWithDesk() const override;
    void setEditorVisible(bool visible) override;
    void WriteMsg(const QString& line) override;
    void placeDeskWindow(QWidget& window, const QString& deskFile) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kGesturePauseMs = 500;
    void connectEditor();
    // The knob of `pot` takes an edit of the pot page or the overview.
    void followPot(int pot, PotPage::KnobProperty property, int value);
    void showPage(QWidget* page);
    void showTurnedValue();

    TForm1& m_form;
    VirtualBox m_box;
    int m_gesture = 0; // the turn gesture desk turns belong to
    QElapsedTimer m_turnClock;
    // Motorised input turns a pot thousands of times a second: the pot page shows the latest
    // value once a frame, not every move (its fields and their group are drawn again each time).
    static constexpr int kPageFrameMs = 16;
    QTimer m_pageRefresh;
    bool m_showingTurn = false;
};
