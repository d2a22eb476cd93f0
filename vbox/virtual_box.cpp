#include "virtual_box.h"

#include "desk_button.h"
#include "desk_dump.h"
#include "desk_host.h"
#include "desk_label.h"
#include "dip_switch.h"
#include "fader_desk.h"
#include "knob.h"
#include "lcd_label.h"
#include "vr_ani_button.h"
#include "vr_bitmap_dial.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <utility>

namespace {

// The controls that play a button: push buttons, skinned buttons and knobs.
bool isPlayableButton(QObject* sender) {
    return qobject_cast<QPushButton*>(sender) || qobject_cast<TVrAniButton*>(sender) ||
           qobject_cast<TKnob*>(sender);
}

} // namespace

VirtualBox::VirtualBox(BankRecord& bank, DeskHost& host, QObject* parent)
    : QObject(parent), m_bank(bank), m_host(host),
      m_builder([&host](const QString& line) { host.WriteMsg(line); }), m_actions(bank) {}

VirtualBox::~VirtualBox() = default;

TFaderDesk& VirtualBox::FaderDesk() {
    if (!m_desk) {
        m_desk = std::make_unique<TFaderDesk>();
        m_currentLcd = m_desk->BackLightLCDPanel;
        wireLcd(m_desk->BackLightLCDPanel);
        connect(m_desk.get(), &TFaderDesk::lcdPanelClicked, this, &VirtualBox::LCDPanelClick);
    }
    return *m_desk;
}

bool VirtualBox::deskVisible() const {
    return (m_desk && m_desk->isVisible()) || m_customDesk;
}

// ---------------------------------------------------------------- building

void VirtualBox::GenerateFaderDeskExecute() {
    TFaderDesk& desk = FaderDesk();
    desk.hide();
    ClearDesk();
    BuildDefaultDesk();
    if (QFileInfo(m_host.customDeskFile()).isFile()) {
        NewFormFromINIExecute(); // the standard window stays hidden
        return;
    }
    FillDeskFromBank();
    discardCustomDesk();
    customDeskClosed();
    m_host.placeDeskWindow(desk, {});
    desk.show();
    desk.raise();
    desk.activateWindow();
    showLines(lcd_text::startupScreen(true));
}

void VirtualBox::customDeskClosed() {
    if (std::exchange(m_editorHiddenByDesk, false)) m_host.setEditorVisible(true);
}

// Deleted only after the event that put it away (a shortcut pressed on it) is done with it.
void VirtualBox::discardCustomDesk() {
    if (!m_customDesk) return;
    m_customDesk->hide();
    m_customDesk.release()->deleteLater();
}

void VirtualBox::closeDeskWindows() {
    m_editorHiddenByDesk = false;
    if (m_desk) m_desk->hide();
    if (m_customDesk) m_customDesk->hide();
}

void VirtualBox::rebuildAfterBank() {
    if (!m_desk) return; // never built: the next GenerateFaderDesk builds from the bank anyway
    m_desk->hide();
    ClearDesk();
    BuildDefaultDesk();
    FillDeskFromBank();
}

void VirtualBox::ClearDesk() {
    FaderDesk().ClearDesk();
}

void VirtualBox::BuildDefaultDesk() {
    TFaderDesk& desk = FaderDesk();
    {
        QScopedValueRollback updating(m_actions.UpdatingDesk, true);
        for (TKnob* knob : desk.CreateKnobs(m_registry))
            wireKnob(knob);
    }
    for (DeskButton* button : desk.CreateButtons()) {
        m_editKeys.watch(button);
        connect(button, &DeskButton::mouseDown, this,
                [this, button](Qt::MouseButton mouse) { ButtPush(button, mouse); });
        connect(button, &QPushButton::clicked, this, [this, button] { ButtRelease(button); });
    }
    m_actions.clearButtonStates();
    m_echoes.clear();
    desk.PrepareLcd();
    m_currentLcd = desk.BackLightLCDPanel;
    m_lcdLines.fill({});
    showLines(lcd_text::startupScreen(false));
}

void VirtualBox::wireKnob(QObject* control) {
    auto* knob = static_cast<TKnob*>(control);
    m_editKeys.watch(knob);
    connect(knob, &TKnob::OnChange, this, [this, knob] { ControlAction(knob); });
    connect(knob, &TKnob::OnMouseDown, this,
            [this, knob](Qt::MouseButton mouse) { ControlEdit(knob, mouse); });
}

// Enter or Space steps the display modes as a click does.
void VirtualBox::wireLcd(TLCDLabel* lcd) {
    lcd->setFocusPolicy(Qt::StrongFocus);
    connect(lcd, &TLCDLabel::clicked, this, &VirtualBox::BackLightLCDPanelClick);
}

void VirtualBox::NewFormFromINIExecute() {
    QString problem;
    const auto description = desk_file::readDeskFile(m_host.customDeskFile(), &problem);
    if (!description) {
        if (!problem.isEmpty()) m_host.WriteMsg(problem);
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableVirtualSize()
                              : QSize(desk_file::kMaxExtent, desk_file::kMaxExtent);
    auto window = m_builder.build(*description, m_registry, m_skins, room);
    connect(window.get(), &TCustomDesk::FaderDeskFormClose, this, &VirtualBox::customDeskClosed);
    if (m_host.hideEditorWithDesk()) {
        m_host.setEditorVisible(false);
        m_editorHiddenByDesk = true;
    }
    for (QWidget* control : window->controls)
        wireCustomControl(control);
    if (window->lastLcd) m_currentLcd = window->lastLcd;
    discardCustomDesk(); // the previous desk goes once the new one exists
    m_customDesk = std::move(window);
    m_host.placeDeskWindow(*m_customDesk, m_host.customDeskFile());
    m_customDesk->show();
    m_customDesk->raise();
    m_customDesk->activateWindow();
}

void VirtualBox::wireCustomControl(QWidget* control) {
    if (qobject_cast<DeskButton*>(control) || qobject_cast<TVrAniButton*>(control) ||
        qobject_cast<TVrBitmapDial*>(control))
        m_editKeys.watch(control); // knobs are watched as they are wired
    if (auto* button = qobject_cast<DeskButton*>(control)) {
        connect(button, &QPushButton::clicked, this, [this, button] { ControlAction(button); });
        connect(button, &DeskButton::mouseDown, this,
                [this, button](Qt::MouseButton mouse) { ButtPush(button, mouse); });
    } else if (auto* skinButton = qobject_cast<TVrAniButton*>(control)) {
        connect(skinButton, &TVrAniButton::OnClick, this,
                [this, skinButton] { ControlAction(skinButton); });
        connect(skinButton, &TVrAniButton::OnMouseDown, this,
                [this, skinButton](Qt::MouseButton mouse) { ButtPush(skinButton, mouse); });
    } else if (qobject_cast<TKnob*>(control)) {
        wireKnob(control);
    } else if (auto* dial = qobject_cast<TVrBitmapDial*>(control)) {
        connect(dial, &TVrBitmapDial::OnChange, this, [this, dial] { ControlAction(dial); });
        connect(dial, &TVrBitmapDial::OnMouseDown, this,
                [this, dial](Qt::MouseButton mouse) { ControlEdit(dial, mouse); });
    } else if (auto* dip = qobject_cast<TDipSwitch*>(control)) {
        connect(dip, &TDipSwitch::OnClick, this, [this, dip] { ControlAction(dip); });
    } else if (auto* lcd = qobject_cast<TLCDLabel*>(control)) {
        wireLcd(lcd);
    }
}

QString VirtualBox::DumpFormToINI(const QWidget& window, const QString& programFolder) {
    const QString path = deskDumpPath(programFolder);
    if (!writeDeskDump(describeDesk(window), path)) {
        m_host.WriteMsg(QStringLiteral("Cannot write the desk to %1").arg(path));
        return {};
    }
    m_host.WriteMsg(QStringLiteral("Desk written to %1").arg(path));
    return path;
}

void VirtualBox::FillDeskFromBank() {
    if (!m_desk) return;
    QScopedValueRollback updating(m_actions.UpdatingDesk, true);
    for (int i = 0; i < desk_tags::kBankEntries; ++i) {
        QObject* control = m_registry.at(i + 1);
        auto* widget = qobject_cast<QWidget*>(control);
        if (!widget) continue;
        const QString hint = QString::fromLatin1(lcd_text::potLabelText(m_bank, i + 1));
        widget->setToolTip(hint);
        widget->setAccessibleDescription(hint);
        const PotEntry entry = m_bank.pot(i + 1);
        if (auto* knob = qobject_cast<TKnob*>(control)) {
            knob->SetPosition(m_bank.initialValue(i + 1));
            knob->SetMin(entry.min);
            knob->SetMax(entry.max);
        } else if (auto* dip = qobject_cast<TDipSwitch*>(control)) {
            dip->SetValue(m_bank.initialValue(i + 1));
        }
    }
}

// ---------------------------------------------------------------- control actions

void VirtualBox::ControlAction(QObject* sender) {
    const int tag = tagOf(sender);
    if (desk_tags::isPotTag(tag))
        KnobAction(sender);
    else if (desk_tags::isButtonTag(tag))
        ButtRelease(sender);
}

void VirtualBox::KnobAction(QObject* sender) {
    const auto index = desk_tags::bankPotIndex(tagOf(sender));
    if (!index) return; // pot controls without a bank entry are inert
    if (auto* knob = qobject_cast<TKnob*>(sender)) {
        PotMoved(*index, knob->Position() & 0xFF);
    } else if (auto* dip = qobject_cast<TDipSwitch*>(sender)) {
        PotMoved(*index, int(dip->GetValue() & 0xFF));
    } else if (auto* dial = qobject_cast<TVrBitmapDial*>(sender)) {
        PotMoved(*index, dial->Position() & 0xFF);
        if (auto* label = m_registry.as<QLabel>(tagOf(sender) + desk_tags::kValueLabelOffset))
            setLabelText(label, QString::number(dial->Position()));
    } else if (qobject_cast<QPushButton*>(sender) || qobject_cast<TVrAniButton*>(sender)) {
        PotMoved(*index, 1);
    }
}

void VirtualBox::ButtPush(QObject* sender, Qt::MouseButton button) {
    const int tag = tagOf(sender);
    if (button == Qt::RightButton) {
        m_host.editButton(tag - desk_tags::kButtonBase);
        return;
    }
    const auto index = desk_tags::bankButtonIndex(tag);
    if (button == Qt::LeftButton && index && isPlayableButton(sender)) ButtonPressed(*index);
}

void VirtualBox::ButtRelease(QObject* sender) {
    const auto index = desk_tags::bankButtonIndex(tagOf(sender));
    if (index && isPlayableButton(sender)) ButtonReleased(*index);
}

void VirtualBox::ControlEdit(QObject* sender, Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    const int tag = tagOf(sender);
    if (desk_tags::isPotTag(tag))
        m_host.editPot(tag);
    else if (desk_tags::isButtonTag(tag))
        m_host.editButton(tag - desk_tags::kButtonBase);
}

void VirtualBox::PotMoved(int index, int value) {
    if (!desk_tags::bankPotIndex(index + 1)) return;
    const auto message = m_actions.PotMoved(index, value);
    {
        QScopedValueRollback<std::optional<int>> moving(m_movingPot, index);
        m_host.potValueChanged(index, m_bank.initialValue(index + 1));
    }
    send(index, message);
    RefreshLcd(index);
}

void VirtualBox::ButtonPressed(int index) {
    send(-1, m_actions.ButtonPressed(index));
    RefreshLcd(DeskActions::kButtonIdBase + index);
}

void VirtualBox::ButtonReleased(int index) {
    send(-1, m_actions.ButtonReleased(index));
    RefreshLcd(DeskActions::kButtonIdBase + index);
}

void VirtualBox::send(int potIndex, const std::optional<ShortMessage>& message) {
    if (!message) return;
    m_echoes.noteSent(potIndex, *message);
    m_host.sendShortMessage(*message);
}

// ---------------------------------------------------------------- LCD

void VirtualBox::SetLcdLine(int line, const std::string& text) {
    if (line < 0 || line >= lcd_text::kLineCount) return;
    m_lcdLines[std::size_t(line)] = lcd_text::lcdLine(text);
    if (m_currentLcd && !m_currentLcd->isHidden()) {
        std::string all;
        for (const std::string& stored : m_lcdLines)
            all += stored;
        m_currentLcd->setCaption(QString::fromLatin1(all));
    } else if (m_desk) {
        m_desk->LCDLines[std::size_t(line)]->setText(
            QString::fromLatin1(m_lcdLines[std::size_t(line)]));
    }
}

void VirtualBox::showLines(const lcd_text::Lines& lines) {
    for (int i = 0; i < lcd_text::kLineCount; ++i)
        SetLcdLine(i, lines[std::size_t(i)]);
}

void VirtualBox::RefreshLcd(int id) {
    showLines(lcd_text::refresh(m_lcdMode, id, m_bank, m_actions.ButtonToggleState));
}

void VirtualBox::BackLightLCDPanelClick() {
    // The plain panel belongs to the standard window: it takes over only while that is visible.
    const auto click = lcd_text::clickDotMatrix(m_lcdMode, m_desk && m_desk->isVisible());
    m_lcdMode = click.mode;
    if (click.showPanel && m_currentLcd) {
        m_currentLcd->hide();
        RefreshLcd(m_actions.LastShownControl);
        m_desk->LCDPanel->show();
    }
    RefreshLcd(m_actions.LastShownControl);
}

void VirtualBox::LCDPanelClick() {
    m_lcdMode = lcd_text::kReport;
    if (!m_currentLcd) return;
    std::string all;
    for (const std::string& line : m_lcdLines)
        all += line;
    m_currentLcd->setCaption(QString::fromLatin1(all));
    m_desk->LCDPanel->hide();
    m_currentLcd->show();
}

// ---------------------------------------------------------------- incoming MIDI

void VirtualBox::MatchIncomingToPots(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    if (m_echoes.isEcho({status, data1, data2})) return;
    for (int index : ::MatchIncomingToPots(m_bank, status, data1))
        MovePotControl(index, data2);
}

void VirtualBox::MovePotControl(int index, int value) {
    QObject* control = m_registry.at(index + 1);
    if (!m_host.motorizedPots() || !control || !deskVisible()) return;
    if (auto* knob = qobject_cast<TKnob*>(control))
        knob->SetPosition(value);
    else if (auto* dip = qobject_cast<TDipSwitch*>(control))
        dip->SetValue(std::uint32_t(value));
    else if (auto* dial = qobject_cast<TVrBitmapDial*>(control))
        dial->SetPosition(value);
}

// ---------------------------------------------------------------- following the pot editor

TKnob* VirtualBox::followingKnob(int n) const {
    if (!deskVisible()) return nullptr;
    return m_registry.as<TKnob>(n);
}

void VirtualBox::followPotEditor(int n, PotField field, int value) {
    TKnob* knob = followingKnob(n);
    if (!knob) return;
    switch (field) {
    case PotField::Minimum:
        knob->SetMin(value);
        break;
    case PotField::Maximum:
        knob->SetMax(value);
        break;
    case PotField::Position:
        if (m_movingPot != n - 1) knob->SetPosition(value); // else the value came from the knob
        break;
    }
}

void VirtualBox::followPotHint(int n, const QString& hint) {
    if (!deskVisible()) return;
    if (auto* widget = qobject_cast<QWidget*>(m_registry.at(n))) {
        widget->setToolTip(hint);
        widget->setAccessibleDescription(hint);
    }
}
