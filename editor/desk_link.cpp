#include "desk_link.h"

#include "bank_history.h"
#include "box_config_page.h"
#include "button_page.h"
#include "editor_window.h"
#include "midi_in.h"
#include "midi_out.h"
#include "overview_page.h"
#include "spin_edit.h"
#include "transfer_page.h"
#include "value_announcer.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>

DeskLink::DeskLink(TForm1& form) : QObject(&form), m_form(form), m_box(form.record, *this, this) {
    m_box.setSkinLists({form.VrKnobBitmapList, form.VrButtonBitmapList});
    connectEditor();
    qApp->installEventFilter(this); // presses and releases end turn gestures
    m_pageRefresh.setSingleShot(true);
    connect(&m_pageRefresh, &QTimer::timeout, this, &DeskLink::showTurnedValue);
}

void DeskLink::connectEditor() {
    PotPage& pots = *m_form.PotSettings.page();
    connect(&pots, &PotPage::knobChanged, this, &DeskLink::followPot);
    connect(&pots, &PotPage::hintChanged, &m_box, &VirtualBox::followPotHint);
    // Edits on the overview reach the desk as those on the pot page do.
    OverviewPage* overview = m_form.Overview.page();
    connect(overview, &OverviewPage::knobChanged, this, &DeskLink::followPot);
    connect(overview, &OverviewPage::hintChanged, &m_box, &VirtualBox::followPotHint);
    onceBuilt(&pots, this, [this](PotPage& page) {
        connect(page.LearnPot, &QCheckBox::toggled, this, &DeskLink::LearnPotClick);
    });
    onceBuilt(m_form.ButtSettings.page(), this, [this](ButtonPage& page) {
        connect(page.LearnButt, &QCheckBox::toggled, this, &DeskLink::LearnButtClick);
    });
    connect(m_form.FileSheet->ShowFaderDesk, &QPushButton::clicked, &m_form,
            &TForm1::showStandardDesk);
    connect(&m_form, &TForm1::bankReplaced, &m_box, &VirtualBox::rebuildAfterBank);
    m_form.MidiIn1->OnShort = [this](TMidiIn* sender, std::uint8_t status, std::uint8_t data1,
                                     std::uint8_t data2) {
        MidiIn1Short(sender, status, data1, data2);
    };
}

void DeskLink::followPot(int pot, PotPage::KnobProperty property, int value) {
    using Field = VirtualBox::PotField;
    const Field field = property == PotPage::KnobProperty::Minimum   ? Field::Minimum
                        : property == PotPage::KnobProperty::Maximum ? Field::Maximum
                                                                     : Field::Position;
    // The page showing a turn's value again does not turn the knob again.
    if (m_showingTurn && field == Field::Position) return;
    m_box.followPotEditor(pot, field, value);
}

void DeskLink::MidiIn1Short(TMidiIn*, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    const PotPage* pots = m_form.PotSettings.ifBuilt();
    const ButtonPage* buttons = m_form.ButtSettings.ifBuilt();
    switch (routeIncoming(status, pots && pots->LearnPot->isChecked(),
                          buttons && buttons->LearnButt->isChecked())) {
    case IncomingRoute::Ignore:
        return;
    case IncomingRoute::LearnPot: {
        PotPage& pots = *m_form.PotSettings;
        showPage(&pots);
        m_form.document().commit();
        const BankRecord before = m_form.record;
        pots.PotByte0->setValue(status);
        pots.PotByte1->setValue(data1);
        pots.PotInitialValue->setValue(data2);
        m_form.document().recordEdited(before, tr("learned event of pot %1").arg(pots.selectedPot()));
        return;
    }
    case IncomingRoute::LearnButton: {
        ButtonPage& buttons = *m_form.ButtSettings;
        showPage(&buttons);
        m_form.document().commit();
        const BankRecord before = m_form.record;
        buttons.ButtByte0->setValue(status);
        buttons.ButtByte1->setValue(data1);
        buttons.ButtByte2->setValue(data2);
        m_form.document().recordEdited(before, tr("learned event of button %1").arg(buttons.selectedButton()));
        return;
    }
    case IncomingRoute::MatchPots:
        m_box.MatchIncomingToPots(status, data1, data2);
        return;
    }
}

void DeskLink::LearnPotClick() {
    PotPage& pots = *m_form.PotSettings;
    QCheckBox* learnButton = m_form.ButtSettings->LearnButt;
    if (pots.LearnPot->isChecked()) {
        learnButton->setChecked(false);
        pots.vMotPots->setEnabled(false);
    } else if (!learnButton->isChecked()) {
        pots.vMotPots->setEnabled(true);
    }
}

void DeskLink::LearnButtClick() {
    PotPage& pots = *m_form.PotSettings;
    QCheckBox* learnButton = m_form.ButtSettings->LearnButt;
    if (learnButton->isChecked()) {
        pots.LearnPot->setChecked(false);
        pots.vMotPots->setEnabled(false);
    } else if (!pots.LearnPot->isChecked()) {
        pots.vMotPots->setEnabled(true);
    }
}

void DeskLink::sendShortMessage(const ShortMessage& message) {
    m_form.MidiOut1->Put(message.status, message.data1, message.data2);
}

void DeskLink::potValueChanged(int potIndex, int) {
    // A page not built yet shows the value from the bank when it is built.
    PotPage* pots = m_form.PotSettings.ifBuilt();
    if (pots && pots->selectedPot() == potIndex + 1 && !m_pageRefresh.isActive()) {
        // Each new value of the field is spoken text: while a screen reader listens, the field
        // follows a flood as often as the desk's controls are announced.
        m_pageRefresh.start(QAccessible::isActive() ? ValueAnnouncer::kIntervalMs : kPageFrameMs);
    }
    m_form.Overview.page()->refreshPot(potIndex + 1);
    // A turn without a button held that comes after a pause (the wheel, the keys) starts a new
    // gesture, as a press or release of a button does.
    if (QGuiApplication::mouseButtons() == Qt::NoButton &&
        (!m_turnClock.isValid() || m_turnClock.elapsed() > kGesturePauseMs))
        ++m_gesture;
    m_turnClock.start();
    m_form.document().history().deskTurned(potIndex + 1, m_gesture);
}

void DeskLink::showTurnedValue() {
    PotPage* pots = m_form.PotSettings.ifBuilt();
    if (!pots) return;
    QScopedValueRollback showing(m_showingTurn, true);
    pots->PotInitialValue->setValue(m_form.record.initialValue(pots->selectedPot()));
}

bool DeskLink::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)
        ++m_gesture;
    return QObject::eventFilter(watched, event);
}

void DeskLink::showPage(QWidget* page) {
    m_form.show();
    m_form.raise();
    m_form.PageControl->setCurrentWidget(page);
}

void DeskLink::editPot(int potNumber) {
    showPage(m_form.PotSettings);
    m_form.PotSettings->PotNumber->setValue(potNumber);
}

void DeskLink::editButton(int buttonNumber) {
    showPage(m_form.ButtSettings);
    m_form.ButtSettings->ButtNumber->setValue(buttonNumber);
}

bool DeskLink::motorizedPots() const {
    const PotPage* pots = m_form.PotSettings.ifBuilt();
    return pots && pots->vMotPots->isChecked();
}

QString DeskLink::customDeskFile() const {
    return m_form.CustomDeskFile;
}

bool DeskLink::hideEditorWithDesk() const {
    return m_form.BoxSettingsTabsheet.page()->hideEditorWithDesk();
}

void DeskLink::setEditorVisible(bool visible) {
    m_form.setVisible(visible);
}

void DeskLink::WriteMsg(const QString& line) {
    m_form.WriteMsg(line);
}

void DeskLink::placeDeskWindow(QWidget& window, const QString& deskFile) {
    using Window = WindowPlaces::Window;
    m_form.windowPlaces().place(
        window, deskFile.isEmpty() ? Window::VirtualBox : Window::CustomDesk, deskFile);
}
