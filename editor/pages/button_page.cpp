#include "button_page.h"

#include "edit_combo.h"
#include "hex_byte_edit.h"
#include "page_controls.h"
#include "preset_library.h"
#include "preset_selector.h"
#include "spin_edit.h"
#include "status_byte_fields.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScopedValueRollback>
#include <QVBoxLayout>

using namespace page_controls;

namespace {

constexpr int kDataMax = field_ranges::kDataByte.max;

struct ButtonCaptions {
    const char* byte0B;
    const char* byte1;
    const char* byte2;
};

// Captions of the event types 9..15.
constexpr ButtonCaptions kCaptionsByType[] = {
    {"Midi Channel :", "Note Nr :", "Velocity :"},
    {"Midi Channel :", "Note Nr :", "Value :"},
    {"Midi Channel :", "Control Nr :", "Value :"},
    {"Midi Channel :", "Program Nr :", "Not Used :"},
    {"Midi Channel :", "Pressure Value :", "Not Used :"},
    {"Midi Channel :", "Pitch MSB :", "Pitch LSB :"},
    {"Meta ID :", "Meta Event Nr :", "Value :"},
};
constexpr int kFirstType = 9;

} // namespace

ButtonPage::ButtonPage(BankRecord& record, QWidget* parent)
    : DeferredPage(parent), m_record(record) {
    setObjectName(QStringLiteral("ButtSettings"));
}

void ButtonPage::build() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeEntryGroup());
    LearnButt = checkBox(tr("Learn Button"), "LearnButt");
    LearnButt->setToolTip(tr("The next message arriving at MIDI IN becomes the event of the "
                             "button it is meant for."));
    layout->addWidget(LearnButt);
    layout->addStretch();
    connectHandlers();
    ButtByte0A->setCurrentIndex(0);
    ButtPresetName->setPresets(m_presetKeys, m_presetNames);
    if (m_loadWhenBuilt) UpdateButtProps();
}

void ButtonPage::setPresets(const QStringList& keys, const QStringList& names) {
    m_presetKeys = keys;
    m_presetNames = names;
    if (isBuilt()) ButtPresetName->setPresets(keys, names);
}

const QStringList& ButtonPage::modeItems() {
    static const QStringList items = itemTexts(field_ranges::kButtonModeItems);
    return items;
}

QWidget* ButtonPage::makeEntryGroup() {
    m_status = new StatusByteFields(QStringLiteral("Butt"), tr("Midi Channel :"), this);
    ButtByte0A = m_status->typeList;
    ButtByte0B = m_status->channel;
    ButtByte0 = m_status->statusByte;
    ButtByte0HEX = m_status->mirror;

    ButtNumber = numberField(1, 64, 1, "ButtNumber", tr("Button Nr :"));
    ButtPresetName = named(new PresetSelector, "ButtPresetName", tr("Preset :"));
    ButtByte1 = numberField(0, kDataMax, 0, "ButtByte1", tr("Byte 1 :"));
    ButtByte2 = numberField(0, kDataMax, 0, "ButtByte2", tr("Byte 2 :"));
    ButtByte1HEX = hexBox("ButtByte1HEX", ButtByte1);
    ButtByte2HEX = hexBox("ButtByte2HEX", ButtByte2);
    ButtMode = named(new EditCombo(false), "ButtMode", tr("Mode :"));
    ButtMode->addItems(modeItems());
    ButtMode->setCurrentIndex(-1);
    describeEntryFields();

    auto* group = new QGroupBox(tr("Button"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(caption(tr("Button Nr :"), ButtNumber), 0, 0);
    grid->addWidget(ButtNumber, 0, 1);
    grid->addWidget(caption(tr("Preset :"), ButtPresetName), 0, 2);
    grid->addWidget(ButtPresetName, 0, 3);
    grid->addWidget(caption(tr("Event Type :"), ButtByte0A), 1, 0);
    grid->addWidget(ButtByte0A, 1, 1, 1, 2);
    ButtByte0BLabel = caption(tr("Midi Channel :"), ButtByte0B, "ButtByte0BLabel");
    grid->addWidget(ButtByte0BLabel, 2, 0);
    grid->addWidget(ButtByte0B, 2, 1);
    grid->addWidget(new QLabel(tr("HEX")), 2, 2);
    ButtByte1Label = caption(tr("Byte 1 :"), ButtByte1, "ButtByte1Label");
    ButtByte2Label = caption(tr("Byte 2 :"), ButtByte2, "ButtByte2Label");
    const struct {
        QLabel* label;
        SpinEdit* field;
        HexByteEdit* mirror;
    } rows[] = {{caption(tr("Byte 0 :"), ButtByte0), ButtByte0, ButtByte0HEX},
                {ButtByte1Label, ButtByte1, ButtByte1HEX},
                {ButtByte2Label, ButtByte2, ButtByte2HEX}};
    int row = 3;
    for (const auto& r : rows) {
        grid->addWidget(r.label, row, 0);
        grid->addWidget(r.field, row, 1);
        grid->addWidget(r.mirror, row++, 2);
    }
    grid->addWidget(caption(tr("Mode :"), ButtMode), row, 0);
    grid->addWidget(ButtMode, row, 1, 1, 2);
    grid->setColumnStretch(3, 1);
    return group;
}

void ButtonPage::describeEntryFields() {
    describe(ButtNumber, tr("The button shown and edited on this page; Page Up and Page Down "
                            "step through the buttons."));
    ButtPresetName->setToolTip(tr("The library's preset that matches this button's event; "
                                  "choose one to give the button its event."));
    describe(ButtByte1, tr("Byte 1 of the event: the note, controller or program number, or "
                           "what the event type makes of it."));
    describe(ButtByte2, tr("Byte 2 of the event: the velocity or value the button sends."));
    describe(ButtMode, tr("ON/OFF sends on press and on release, ON ONLY on press only, TOGGLE "
                          "switches on and off with each press."));
}

void ButtonPage::connectHandlers() {
    connect(ButtNumber, &SpinEdit::valueChanged, this, &ButtonPage::ButtNumberChange);
    connect(m_status, &StatusByteFields::statusChanged, this, &ButtonPage::ButtByte0Change);
    connect(ButtByte1, &SpinEdit::valueChanged, this, &ButtonPage::ButtByte1Change);
    connect(ButtByte2, &SpinEdit::valueChanged, this, &ButtonPage::ButtByte2Change);
    connect(ButtMode, &EditCombo::userChanged, this, &ButtonPage::ButtModeChange);
    connect(ButtPresetName, &PresetSelector::presetChosen, this, &ButtonPage::ButtPresetNameChange);
}

void ButtonPage::stepButton(int delta) {
    ButtNumber->setValue(m_button + delta);
}

void ButtonPage::selectButton(int n) {
    const bool shown = ButtNumber->value() == n;
    ButtNumber->setValue(n);
    if (shown) UpdateButtProps();
}

void ButtonPage::ButtNumberChange(int n) {
    if (n < 1 || n > bank_layout::kEntryCount)
        return; // still typing: the page keeps the last button until the field is left
    m_button = n;
    UpdateButtProps();
    emit buttonSelected(n);
}

void ButtonPage::UpdateButtProps() {
    m_loadWhenBuilt = !isBuilt();
    if (m_loadWhenBuilt) return;
    QScopedValueRollback loading(m_buttPageLoading, true);
    const ButtonEntry entry = m_record.button(m_button);
    ButtByte0->setValue(fullStatus(entry.status));
    ButtByte1->setValue(entry.data1);
    ButtByte2->setValue(entry.data2);
    ButtMode->setCurrentIndex(entry.mode < modeItems().size() ? entry.mode : -1);
    ShowButtPresetName();
}

// Writes one byte of the selected button's entry. Callers pass their field's value clamped: a
// number typed beyond the range must not put anything but a 7-bit byte into the bank.
void ButtonPage::storeEntryByte(std::uint8_t ButtonEntry::*field, int value) {
    if (m_buttPageLoading) return;
    ButtonEntry entry = m_record.button(m_button);
    entry.*field = static_cast<std::uint8_t>(value);
    m_record.setButton(m_button, entry);
}

void ButtonPage::ButtByte0Change(int status) {
    if (const int type = StatusByteFields::eventType(status); type >= 0) {
        const ButtonCaptions& captions = kCaptionsByType[type - kFirstType];
        setCaption(ButtByte0BLabel, tr(captions.byte0B));
        setCaption(ButtByte1Label, tr(captions.byte1));
        setCaption(ButtByte2Label, tr(captions.byte2));
    }
    if (!m_buttPresetApplying) ShowButtPresetName();
    storeEntryByte(&ButtonEntry::status, storedStatus(ButtByte0->clampedValue()));
}

void ButtonPage::ButtByte1Change() {
    if (!m_buttPresetApplying) ShowButtPresetName();
    storeEntryByte(&ButtonEntry::data1, ButtByte1->clampedValue());
}

void ButtonPage::ButtByte2Change() {
    if (!m_buttPresetApplying) ShowButtPresetName();
    storeEntryByte(&ButtonEntry::data2, ButtByte2->clampedValue());
}

void ButtonPage::ButtModeChange(int index) {
    if (index >= 0) storeEntryByte(&ButtonEntry::mode, index);
}

// The page is recognised by the bytes its fields hold, compared with the bytes each key gives
// when applied; a field typed beyond its range matches no preset.
void ButtonPage::ShowButtPresetName() {
    const auto bytes = fieldBytes<3>({ButtByte0, ButtByte1, ButtByte2});
    ButtPresetName->showPreset(bytes ? preset_file::findButtonPreset(ButtPresetName->keys(), *bytes)
                                     : -1);
}

void ButtonPage::ButtPresetNameChange(int index) {
    ApplyButtPreset(ButtPresetName->keys().at(index));
}

void ButtonPage::ApplyButtPreset(const QString& key) {
    const auto value = preset_file::parseButtonKey(key);
    if (!value) return;
    QScopedValueRollback applying(m_buttPresetApplying, true);
    ButtByte0->setValue(
        preset_file::appliedStatus(static_cast<std::uint8_t>(*value >> 16),
                                   static_cast<std::uint8_t>(ButtByte0->clampedValue())));
    ButtByte1->setValue(static_cast<int>((*value >> 8) & 0xFF));
    ButtByte2->setValue(static_cast<int>(*value & 0xFF));
}

ButtonEntry ButtonPage::copySelected() const {
    return m_record.button(m_button);
}

void ButtonPage::pasteSelected(const ButtonEntry& entry) {
    m_record.setButton(m_button, entry);
    UpdateButtProps();
}
