#include "pot_page.h"

#include "edit_combo.h"
#include "hex_byte_edit.h"
#include "page_controls.h"
#include "preset_selector.h"
#include "spin_edit.h"
#include "status_byte_fields.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValidator>

using namespace page_controls;

namespace {

constexpr int kDataMax = field_ranges::kDataByte.max;

struct PotCaptions {
    const char* byte1;
    const char* byte0B;
    const char* min;
    const char* max;
    const char* initialValue;
};

// Captions of the event types 9..14; type 15 takes the meta captions of the settings file.
constexpr PotCaptions kCaptionsByType[] = {
    {"Note Nr :", "Midi Channel:", "Min :", "Max :", "Initial Value :"},
    {"Note Nr :", "Midi Channel:", "Min :", "Max :", "Initial Value :"},
    {"Control Nr :", "Midi Channel:", "Min :", "Max :", "Initial Value :"},
    {"Program Nr :", "Midi Channel:", "Min :", "Max :", "Initial Value :"},
    {"Pressure Value :", "Midi Channel:", "Min :", "Max :", "Initial Value :"},
    {"Pitch MSB :", "Midi Channel:", "Min :", "Max :", "Pitch LSB :"},
};
constexpr int kFirstType = 9;
constexpr int kMetaType = 15;

// The mode can be typed as one character; the items themselves are longer.
class ModeTextValidator : public QValidator {
public:
    ModeTextValidator(const QStringList& items, QObject* parent)
        : QValidator(parent), m_items(items) {}
    State validate(QString& input, int&) const override {
        return input.size() <= 1 || m_items.contains(input) ? Acceptable : Invalid;
    }

private:
    QStringList m_items;
};

} // namespace

PotPage::PotPage(BankRecord& record, QWidget* parent) : DeferredPage(parent), m_record(record) {
    setObjectName(QStringLiteral("PotSettings"));
}

void PotPage::build() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeEntryGroup());
    layout->addWidget(makeOptions());
    layout->addStretch();
    connectHandlers();
    PotByte0A->setCurrentIndex(0);
    PotPresetName->setPresets(m_presetKeys, m_presetNames);
    // The desk already shows the bank: the fields' first load is no edit for it to follow.
    const QSignalBlocker quietToTheDesk(this);
    if (m_loadWhenBuilt) UpdatePotProps();
}

void PotPage::setPresets(const QStringList& keys, const QStringList& names) {
    m_presetKeys = keys;
    m_presetNames = names;
    if (isBuilt()) PotPresetName->setPresets(keys, names);
}

const QStringList& PotPage::labelModeItems() {
    static const QStringList items = itemTexts(field_ranges::kPotLabelModeItems);
    return items;
}

QWidget* PotPage::makeEntryGroup() {
    m_status = new StatusByteFields(QStringLiteral("Pot"), tr("Midi Channel :"), this);
    PotByte0A = m_status->typeList;
    PotByte0B = m_status->channel;
    PotByte0 = m_status->statusByte;
    PotByte0HEX = m_status->mirror;

    PotNumber = numberField(1, 64, 1, "PotNumber", tr("Pot Nr :"));
    PotPresetName = named(new PresetSelector, "PotPresetName", tr("Preset :"));
    PotByte1 = numberField(0, kDataMax, 0, "PotByte1", tr("Byte 1 :"));
    PotMin = numberField(0, kDataMax, 0, "PotMin", tr("Min :"));
    PotMax = numberField(0, kDataMax, 0, "PotMax", tr("Max :"));
    PotInitialValue = numberField(0, kDataMax, 0, "PotInitialValue", tr("Initial Value :"));
    PotByte1HEX = hexBox("PotByte1HEX", PotByte1);
    PotMinHEX = hexBox("PotMinHEX", PotMin);
    PotMaxHEX = hexBox("PotMaxHEX", PotMax);
    PotInitialValueHEX = hexBox("PotInitialValueHEX", PotInitialValue);
    PotLabel = named(new QLineEdit, "PotLabel", tr("Label :"));
    PotLabel->setMaxLength(bank_layout::kLabelTextLength);
    PotLabelMode = named(new EditCombo(true), "PotLabelMode", tr("Mode :"));
    PotLabelMode->addItems(labelModeItems());
    PotLabelMode->setCurrentIndex(-1);
    PotLabelMode->setValidator(new ModeTextValidator(labelModeItems(), PotLabelMode));
    describeEntryFields();

    auto* group = new QGroupBox(tr("Pot"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(caption(tr("Pot Nr :"), PotNumber), 0, 0);
    grid->addWidget(PotNumber, 0, 1);
    grid->addWidget(caption(tr("Preset :"), PotPresetName), 0, 2);
    grid->addWidget(PotPresetName, 0, 3, 1, 2);
    grid->addWidget(caption(tr("Event Type :"), PotByte0A), 1, 0);
    grid->addWidget(PotByte0A, 1, 1, 1, 2);
    PotByte0BLabel = caption(tr("Midi Channel :"), PotByte0B, "PotByte0BLabel");
    grid->addWidget(PotByte0BLabel, 2, 0);
    grid->addWidget(PotByte0B, 2, 1);
    grid->addWidget(new QLabel(tr("HEX")), 2, 2);

    PotByte1Label = caption(tr("Byte 1 :"), PotByte1, "PotByte1Label");
    PotMinLabel = caption(tr("Min :"), PotMin, "PotMinLabel");
    PotMaxLabel = caption(tr("Max :"), PotMax, "PotMaxLabel");
    InitialValueLabel = caption(tr("Initial Value :"), PotInitialValue, "InitialValueLabel");
    const struct {
        QLabel* label;
        SpinEdit* field;
        HexByteEdit* mirror;
    } rows[] = {{caption(tr("Byte 0 :"), PotByte0), PotByte0, PotByte0HEX},
                {PotByte1Label, PotByte1, PotByte1HEX},
                {PotMinLabel, PotMin, PotMinHEX},
                {PotMaxLabel, PotMax, PotMaxHEX},
                {InitialValueLabel, PotInitialValue, PotInitialValueHEX}};
    int row = 3;
    for (const auto& r : rows) {
        grid->addWidget(r.label, row, 0);
        grid->addWidget(r.field, row, 1);
        grid->addWidget(r.mirror, row++, 2);
    }
    grid->addWidget(caption(tr("Label :"), PotLabel), row, 0);
    grid->addWidget(PotLabel, row, 1, 1, 2);
    grid->addWidget(caption(tr("Mode :"), PotLabelMode), row, 3);
    grid->addWidget(PotLabelMode, row, 4, Qt::AlignLeft);
    grid->setColumnStretch(4, 1);
    return group;
}

void PotPage::describeEntryFields() {
    describe(PotNumber, tr("The pot shown and edited on this page; Page Up and Page Down step "
                           "through the pots."));
    PotPresetName->setToolTip(tr("The library's preset that matches this pot's event; choose "
                                 "one to give the pot its event and range."));
    describe(PotByte1, tr("Byte 1 of the event: the note, controller or program number, or what "
                          "the event type makes of it."));
    describe(PotMin, tr("The value the pot sends at its lowest position."));
    describe(PotMax, tr("The value the pot sends at its highest position."));
    describe(PotInitialValue, tr("The pot's value when the bank is loaded, and where its knob "
                                 "on the virtual box starts."));
    describe(PotLabel, tr("The pot's name on the controller's display."));
    describe(PotLabelMode, tr("How the display shows the pot's value: hexadecimal or decimal, "
                              "signed (+-), with a bar (|). One character may be typed instead."));
}

QWidget* PotPage::makeOptions() {
    LearnPot = checkBox(tr("Learn Pot"), "LearnPot");
    vMotPots = checkBox(tr("Virtual Motorized Pots"), "vMotPots");
    PresetCopiesNameCheckBox = checkBox(tr("Get Label From Preset"), "PresetCopiesNameCheckBox");
    PresetCopiesNameCheckBox->setChecked(true);
    LearnPot->setToolTip(tr("The next message arriving at MIDI IN becomes the event of the pot "
                            "it is meant for."));
    vMotPots->setToolTip(tr("Messages arriving at MIDI IN turn the virtual box's knobs, like "
                            "motorised pots."));
    PresetCopiesNameCheckBox->setToolTip(
        tr("Choosing a preset also gives the pot the preset's name as its label."));
    return widgetRow({LearnPot, vMotPots, PresetCopiesNameCheckBox});
}

void PotPage::connectHandlers() {
    connect(PotNumber, &SpinEdit::valueChanged, this, &PotPage::PotNumberChange);
    connect(m_status, &StatusByteFields::statusChanged, this, &PotPage::PotByte0Change);
    connect(PotByte1, &SpinEdit::valueChanged, this, &PotPage::PotByte1Change);
    connect(PotMin, &SpinEdit::valueChanged, this, &PotPage::PotMinChange);
    connect(PotMax, &SpinEdit::valueChanged, this, &PotPage::PotMaxChange);
    connect(PotInitialValue, &SpinEdit::valueChanged, this, &PotPage::PotInitialValueChange);
    connect(PotLabel, &QLineEdit::textChanged, this, &PotPage::PotLabelChange);
    connect(PotLabelMode, &EditCombo::userChanged, this, &PotPage::PotLabelModeChange);
    connect(PotPresetName, &PresetSelector::presetChosen, this, &PotPage::PotPresetNameChange);
}

void PotPage::setMetaCaptions(const MetaCaptions& captions) {
    m_metaCaptions = captions;
}

void PotPage::stepPot(int delta) {
    PotNumber->setValue(m_pot + delta);
}

void PotPage::selectPot(int n) {
    const bool shown = PotNumber->value() == n;
    PotNumber->setValue(n);
    if (shown) UpdatePotProps();
}

void PotPage::PotNumberChange(int n) {
    if (n < 1 || n > bank_layout::kEntryCount)
        return; // still typing: the page keeps the last pot until the field is left
    m_pot = n;
    UpdatePotProps();
    emit potSelected(n);
}

void PotPage::UpdatePotProps() {
    m_loadWhenBuilt = !isBuilt();
    if (m_loadWhenBuilt) return;
    QScopedValueRollback loading(m_potPageLoading, true);
    PotLabel->setText(QString::fromLatin1(m_record.potLabel(m_pot)));
    const PotEntry entry = m_record.pot(m_pot);
    PotByte0->setValue(fullStatus(entry.status));
    PotByte1->setValue(entry.data);
    PotMin->setValue(entry.min);
    PotMax->setValue(entry.max);
    PotInitialValue->setValue(m_record.initialValue(m_pot));
    PotLabelMode->setCurrentIndex(m_record.potLabelMode(m_pot));
    ShowPotPresetName();
}

void PotPage::setCaptionsForType(int type) {
    if (type == kMetaType) {
        setCaption(PotByte1Label, m_metaCaptions.byte1);
        setCaption(PotByte0BLabel, m_metaCaptions.byte0B);
        setCaption(PotMinLabel, m_metaCaptions.min);
        setCaption(PotMaxLabel, m_metaCaptions.max);
        setCaption(InitialValueLabel, m_metaCaptions.initialValue);
        return;
    }
    const PotCaptions& captions = kCaptionsByType[type - kFirstType];
    setCaption(PotByte1Label, tr(captions.byte1));
    setCaption(PotByte0BLabel, tr(captions.byte0B));
    setCaption(PotMinLabel, tr(captions.min));
    setCaption(PotMaxLabel, tr(captions.max));
    setCaption(InitialValueLabel, tr(captions.initialValue));
}

void PotPage::PotByte0Change(int status) {
    if (const int type = StatusByteFields::eventType(status); type >= 0) setCaptionsForType(type);
    if (!m_potPresetApplying) ShowPotPresetName();
    storeEntryByte(&PotEntry::status, storedStatus(PotByte0->clampedValue()));
}

// Writes one byte of the selected pot's entry. Callers pass their field's value clamped: a number
// typed beyond the range must not put anything but a 7-bit byte into the bank.
void PotPage::storeEntryByte(std::uint8_t PotEntry::*field, int value) {
    if (m_potPageLoading) return;
    PotEntry entry = m_record.pot(m_pot);
    entry.*field = static_cast<std::uint8_t>(value);
    m_record.setPot(m_pot, entry);
}

void PotPage::PotByte1Change() {
    if (!m_potPresetApplying) ShowPotPresetName();
    storeEntryByte(&PotEntry::data, PotByte1->clampedValue());
}

void PotPage::PotMinChange() {
    if (!m_potPresetApplying) ShowPotPresetName();
    storeEntryByte(&PotEntry::min, PotMin->clampedValue());
    emit knobChanged(m_pot, KnobProperty::Minimum, m_record.pot(m_pot).min);
}

void PotPage::PotMaxChange() {
    if (!m_potPresetApplying) ShowPotPresetName();
    storeEntryByte(&PotEntry::max, PotMax->clampedValue());
    emit knobChanged(m_pot, KnobProperty::Maximum, m_record.pot(m_pot).max);
}

void PotPage::PotInitialValueChange() {
    if (!m_potPresetApplying) ShowPotPresetName();
    if (!m_potPageLoading)
        m_record.setInitialValue(m_pot, static_cast<std::uint8_t>(PotInitialValue->clampedValue()));
    emit knobChanged(m_pot, KnobProperty::Position, m_record.initialValue(m_pot));
}

void PotPage::PotLabelChange(const QString& text) {
    if (m_potPageLoading) return;
    m_record.setPotLabel(m_pot, text.toLatin1().toStdString());
    emit hintChanged(m_pot, text);
}

void PotPage::PotLabelModeChange(int index) {
    if (m_potPageLoading) return;
    const auto& chars = BankRecord::labelModeChars();
    // Text typed by hand that names no mode stores the plain hexadecimal mode.
    m_record.setPotLabelModeChar(m_pot, index >= 0 ? chars[index] : chars[0]);
}

// The pot is recognised by the bytes its fields show; a field typed beyond its range matches no
// preset.
void PotPage::ShowPotPresetName() {
    const auto bytes = fieldBytes<4>({PotByte0, PotByte1, PotMin, PotMax});
    PotPresetName->showPreset(bytes ? preset_file::findPotPreset(PotPresetName->keys(), *bytes)
                                    : -1);
}

void PotPage::PotPresetNameChange(int index) {
    ApplyPotPreset(PotPresetName->keys().at(index));
}

void PotPage::ApplyPotPreset(const QString& key) {
    const int chosen = PotPresetName->currentIndex();
    if (PresetCopiesNameCheckBox->isChecked() && chosen >= 0)
        PotLabel->setText(preset_file::labelFromPresetName(PotPresetName->itemText(chosen)));
    const auto preset = preset_file::parsePotKey(key);
    if (!preset) return;
    QScopedValueRollback applying(m_potPresetApplying, true);
    const auto byteAt = [&](int shift) {
        return static_cast<int>((preset->bytes >> shift) & 0xFF);
    };
    PotByte0->setValue(
        preset_file::appliedStatus(static_cast<std::uint8_t>(byteAt(24)),
                                   static_cast<std::uint8_t>(PotByte0->clampedValue())));
    PotByte1->setValue(byteAt(16));
    PotMin->setValue(byteAt(8));
    PotMax->setValue(byteAt(0));
    if (preset->initialValue)
        PotInitialValue->setValue(
            static_cast<int>(std::min<std::uint32_t>(*preset->initialValue, 255)));
}

PotCopy PotPage::copySelected() const {
    return {m_record.pot(m_pot), m_record.labelRecord(m_pot)};
}

void PotPage::pasteSelected(const PotCopy& copy) {
    m_record.setPot(m_pot, copy.entry);
    m_record.setLabelRecord(m_pot, copy.label);
    UpdatePotProps();
}
