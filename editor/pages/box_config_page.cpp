#include "box_config_page.h"

#include "edit_combo.h"
#include "field_ranges.h"
#include "page_controls.h"
#include "spin_edit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <string>

using namespace page_controls;
using namespace field_ranges;

namespace {

constexpr int kLedMapItems = 24;

} // namespace

BoxConfigPage::BoxConfigPage(BankRecord& record, QWidget* parent)
    : DeferredPage(parent), m_record(record) {
    setObjectName(QStringLiteral("BoxSettingsTabsheet"));
}

void BoxConfigPage::build() {
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(makeSettingsGroup());
    left->addWidget(makeDeskOptionsGroup());
    left->addStretch();
    layout->addLayout(left);
    layout->addWidget(makeLedMapGroup(), 0, Qt::AlignTop);

    connect(MIDIMergerMode, &EditCombo::userChanged, this, &BoxConfigPage::MIDIMergerModeChange);
    for (int k = 1; k <= kShiftRegisters; ++k)
        connect(SROUT_Map[k - 1], &EditCombo::userChanged, this,
                [this, k](int index) { SROUT_MapChange(k, index); });
    autoshow_customdesk_yes_no->setChecked(m_autoShowDesk);
    autoshow_customdesk_hide_editor->setChecked(m_hideEditor);
    if (m_loadWhenBuilt) loadFromRecord();
}

void BoxConfigPage::setDeskOptions(bool autoShowDesk, bool hideEditor) {
    m_autoShowDesk = autoShowDesk;
    m_hideEditor = hideEditor;
    if (!isBuilt()) return;
    autoshow_customdesk_yes_no->setChecked(autoShowDesk);
    autoshow_customdesk_hide_editor->setChecked(hideEditor);
}

bool BoxConfigPage::autoShowDesk() const {
    return isBuilt() ? autoshow_customdesk_yes_no->isChecked() : m_autoShowDesk;
}

bool BoxConfigPage::hideEditorWithDesk() const {
    return isBuilt() ? autoshow_customdesk_hide_editor->isChecked() : m_hideEditor;
}

const QStringList& BoxConfigPage::mergerModeItems() {
    static const QStringList items{
        QStringLiteral("MIDI Merger off"), QStringLiteral("MIDI Merger on"),
        QStringLiteral("Pultron Link EP"), QStringLiteral("Pultron Link FP")};
    return items;
}

const QStringList& BoxConfigPage::potBehaviourItems() {
    static const QStringList items{QStringLiteral("Normal"), QStringLiteral("Snap"),
                                   QStringLiteral("Relative"), QStringLiteral("Parallax")};
    return items;
}

const QStringList& BoxConfigPage::ledMapItems() {
    static const QStringList items = [] {
        QStringList list{QStringLiteral("Default Setting")};
        for (int n = 1; n <= 8; ++n)
            list << QStringLiteral("DIN SR #%1 (Button ID #%2-%3)")
                        .arg(n)
                        .arg(8 * (n - 1))
                        .arg(8 * n - 1);
        list << QStringLiteral("reserved") << QStringLiteral("External Bank (1 of 8)");
        while (list.size() < 16)
            list << QStringLiteral("reserved");
        for (int e = 0; e < 8; ++e)
            list << QStringLiteral("MIDI Status rec. for Entry #%1-%2").arg(8 * e).arg(8 * e + 7);
        return list;
    }();
    return items;
}

QWidget* BoxConfigPage::makeSettingsGroup() {
    BankLabel = named(new QLineEdit, "BankLabel", tr("Bank Name :"));
    BankLabel->setMaxLength(bank_layout::kBankNameLength);
    MIDIMergerMode = named(new EditCombo(true), "MIDIMergerMode", tr("MIDI Merger Mode"));
    MIDIMergerMode->addItems(mergerModeItems());
    MIDIMergerMode->setCurrentIndex(-1);
    PotBehaviour = named(new EditCombo(false), "PotBehaviour", tr(" Pot Mode :"));
    PotBehaviour->addItems(potBehaviourItems());
    PotBehaviour->setCurrentIndex(-1);
    SnapShotAtPowerOn = checkBox(tr("SnapShot at PowerOn :"), "SnapShotAtPowerOn");
    AutoSnapshot = checkBox(tr("Auto Snapshot :"), "AutoSnapshot");
    SendPCOnBankChange = checkBox(tr("Send PC On Bank Change :"), "SendPCOnBankChange");
    ReceivePCForBankChange = checkBox(tr("Receive PC For Bank Change :"), "ReceivePCForBankChange");
    GlobalMIDIChannel = numberField(kMidiChannel.min, kMidiChannel.max, 0, "GlobalMIDIChannel",
                                    tr(" Global MIDI Channel :"));
    TouchsensorSensitivity =
        numberField(kTouchSensitivity.min, kTouchSensitivity.max, 3, "TouchsensorSensitivity",
                    tr(" Touchsensor Sensitivity :"));
    MorphBank = numberField(kMorphBank.min, kMorphBank.max, 1, "MorphBank", tr(" Morph Bank :"));
    MorphPotGlobal =
        numberField(kMorphPot.min, kMorphPot.max, 1, "MorphPotGlobal", tr("Morph Pots - Global :"));

    describeSettings();

    auto* group = new QGroupBox(tr("Box Config"));
    auto* grid = new QGridLayout(group);
    int row = 0;
    const auto addRow = [&](const QString& text, QWidget* field) {
        grid->addWidget(caption(text, field), row, 0);
        grid->addWidget(field, row++, 1);
    };
    addRow(tr("Bank Name :"), BankLabel);
    addRow(tr("MIDI Merger :"), MIDIMergerMode);
    addRow(tr(" Pot Mode :"), PotBehaviour);
    for (QCheckBox* box :
         {SnapShotAtPowerOn, AutoSnapshot, SendPCOnBankChange, ReceivePCForBankChange})
        grid->addWidget(box, row++, 0, 1, 2);
    addRow(tr(" Global MIDI Channel :"), GlobalMIDIChannel);
    addRow(tr(" Touchsensor Sensitivity :"), TouchsensorSensitivity);
    addRow(tr(" Morph Bank :"), MorphBank);
    addRow(tr("Morph Pots - Global :"), MorphPotGlobal);

    auto* groups = new QHBoxLayout;
    for (int g = 1; g <= kMorphGroups; ++g) {
        const QString text = tr("Grp%1").arg(g);
        SpinEdit*& box = MorphPotG[g - 1];
        box = numberField(kMorphPot.min, kMorphPot.max, 1,
                          QStringLiteral("MorphPotG%1").arg(g).toLatin1().constData(), text);
        describe(box, tr("The pot that morphs the pots of group %1.").arg(g));
        groups->addWidget(caption(text, box));
        groups->addWidget(box);
    }
    grid->addLayout(groups, row++, 0, 1, 2);
    return group;
}

void BoxConfigPage::describeSettings() {
    describe(BankLabel, tr("The bank's name on the controller's display."));
    describe(MIDIMergerMode, tr("What the controller does with MIDI arriving at its input: merge "
                                "it into its output or not, or link Pultron boxes."));
    describe(PotBehaviour, tr("How a pot takes over from the value it stands for when it is "
                              "turned: Normal, Snap, Relative or Parallax."));
    SnapShotAtPowerOn->setToolTip(tr("The controller sends a snapshot of its pots when it is "
                                     "switched on."));
    AutoSnapshot->setToolTip(tr("The controller sends a snapshot of its pots by itself, as when "
                                "a bank is chosen."));
    SendPCOnBankChange->setToolTip(tr("The controller sends a program change when its bank "
                                      "changes."));
    ReceivePCForBankChange->setToolTip(tr("A program change arriving at the controller chooses "
                                          "its bank."));
    describe(GlobalMIDIChannel, tr("The bank's global MIDI channel."));
    describe(TouchsensorSensitivity, tr("How lightly the pots' touch sensors respond."));
    describe(MorphBank, tr("The bank that the pots morph towards."));
    describe(MorphPotGlobal, tr("The pot that morphs all pots towards the morph bank."));
}

QWidget* BoxConfigPage::makeLedMapGroup() {
    auto* group = new QGroupBox(tr("DOUT Shiftregister Map"));
    auto* grid = new QGridLayout(group);
    for (int k = 1; k <= kShiftRegisters; ++k) {
        const QString text = tr("SR #%1").arg(k);
        EditCombo*& map = SROUT_Map[k - 1];
        map = named(new EditCombo(true),
                    QStringLiteral("SROUT_Map_%1").arg(k).toLatin1().constData(), text);
        map->addItems(ledMapItems());
        map->setCurrentIndex(-1);
        describe(map, tr("What LED output shift register %1 shows: the buttons of an input "
                         "shift register, the external bank, or the MIDI status received for "
                         "eight entries. Written into the bank at once.")
                          .arg(k));
        grid->addWidget(caption(text, map), k - 1, 0);
        grid->addWidget(map, k - 1, 1);
    }
    return group;
}

QWidget* BoxConfigPage::makeDeskOptionsGroup() {
    autoshow_customdesk_yes_no = checkBox(tr("autoshow desk"), "autoshow_customdesk_yes_no");
    autoshow_customdesk_hide_editor =
        checkBox(tr("hide editor"), "autoshow_customdesk_hide_editor");
    autoshow_customdesk_yes_no->setToolTip(
        tr("Shows the virtual box or custom desk when the editor starts (kept in the settings "
           "file, not in the bank)."));
    autoshow_customdesk_hide_editor->setToolTip(
        tr("Hides the editor window when the desk is shown at start (kept in the settings "
           "file, not in the bank)."));
    auto* group = new QGroupBox(tr("Virtual Desk Options"));
    auto* row = new QHBoxLayout(group);
    row->addWidget(autoshow_customdesk_yes_no);
    row->addWidget(autoshow_customdesk_hide_editor);
    row->addStretch();
    return group;
}

void BoxConfigPage::loadFromRecord() {
    m_loadWhenBuilt = !isBuilt();
    if (m_loadWhenBuilt) return;
    MIDIMergerMode->setCurrentIndex(static_cast<int>(m_record.mergerMode()));
    PotBehaviour->setCurrentIndex(static_cast<int>(m_record.potBehaviour()));
    SendPCOnBankChange->setChecked(m_record.sendPCOnBankChange());
    ReceivePCForBankChange->setChecked(m_record.receivePCForBankChange());
    SnapShotAtPowerOn->setChecked(m_record.snapShotAtPowerOn());
    AutoSnapshot->setChecked(m_record.autoSnapshot());
    GlobalMIDIChannel->setValue(m_record.globalMidiChannel());
    MorphBank->setValue(m_record.morphBank());
    MorphPotGlobal->setValue(m_record.morphPotGlobal());
    for (int g = 1; g <= kMorphGroups; ++g)
        MorphPotG[g - 1]->setValue(m_record.morphPotGroup(g));
    BankLabel->setText(QString::fromLatin1(m_record.bankName()));
    TouchsensorSensitivity->setValue(m_record.touchsensorSensitivity());
    for (int k = 1; k <= kShiftRegisters; ++k) {
        const int value = m_record.sroutMap(k);
        SROUT_Map[k - 1]->setCurrentIndex(value < kLedMapItems ? value : -1);
    }
    m_shownAtLoad = shownGlobals();
}

void BoxConfigPage::saveToRecord() {
    if (!isBuilt()) {
        giveBackAsShown(m_record);
        return;
    }
    m_shownAtLoad = shownGlobals();
    writeGlobals(m_record, m_shownAtLoad);
}

Globals BoxConfigPage::shownGlobals() const {
    std::array<int, kMorphGroups> groups{};
    for (int g = 1; g <= kMorphGroups; ++g)
        groups[g - 1] = MorphPotG[g - 1]->value();
    // A merger text typed by hand selects no item (-1), which carries the flag bits of index 3.
    return {{static_cast<MergerMode>(MIDIMergerMode->currentIndex() & 3),
             static_cast<::PotBehaviour>(std::max(PotBehaviour->currentIndex(), 0)),
             SendPCOnBankChange->isChecked(), ReceivePCForBankChange->isChecked(),
             SnapShotAtPowerOn->isChecked(), AutoSnapshot->isChecked()},
            GlobalMIDIChannel->value(),
            MorphBank->value(),
            MorphPotGlobal->value(),
            groups,
            BankLabel->text().toLatin1().toStdString(),
            TouchsensorSensitivity->value()};
}

void BoxConfigPage::MIDIMergerModeChange(int index) {
    // No item (-1) carries the flag bits of index 3, as its two lowest bits say.
    m_record.setMergerMode(static_cast<MergerMode>(index & 3));
    m_shownAtLoad.flags.merger = static_cast<MergerMode>(index & 3); // written already
}

void BoxConfigPage::SROUT_MapChange(int shiftRegister, int index) {
    // No item (-1) is stored as 0x0F, 0x0F.
    m_record.setSroutMap(shiftRegister, index & 0xFF);
}
