// PotPage: the "Pots" page. Shows one pot of the bank at a time and writes every change of its
// event, range, initial value and label into the bank at once.
#pragma once

#include "bank_record.h"
#include "deferred_page.h"
#include "hex_byte_edit.h"
#include "preset_library.h"

#include <array>

class EditCombo;
class PresetSelector;
class QCheckBox;
class QLabel;
class QLineEdit;
class SpinEdit;
class StatusByteFields;

// What copying a pot takes: its entry and its label record, not its initial value.
struct PotCopy {
    PotEntry entry;
    std::array<std::uint8_t, bank_layout::kLabelSize> label{};
};

class PotPage : public DeferredPage {
    Q_OBJECT
public:
    enum class KnobProperty { Minimum, Maximum, Position };
    Q_ENUM(KnobProperty)

    explicit PotPage(BankRecord& record, QWidget* parent = nullptr);

    SpinEdit* PotNumber = nullptr;
    PresetSelector* PotPresetName = nullptr;
    EditCombo* PotByte0A = nullptr;
    SpinEdit* PotByte0B = nullptr;
    SpinEdit* PotByte0 = nullptr;
    SpinEdit* PotByte1 = nullptr;
    SpinEdit* PotMin = nullptr;
    SpinEdit* PotMax = nullptr;
    SpinEdit* PotInitialValue = nullptr;
    QLineEdit* PotLabel = nullptr;
    EditCombo* PotLabelMode = nullptr;
    HexByteEdit* PotByte0HEX = nullptr;
    HexByteEdit* PotByte1HEX = nullptr;
    HexByteEdit* PotMinHEX = nullptr;
    HexByteEdit* PotMaxHEX = nullptr;
    HexByteEdit* PotInitialValueHEX = nullptr;
    QLabel* PotByte0BLabel = nullptr;
    QLabel* PotByte1Label = nullptr;
    QLabel* PotMinLabel = nullptr;
    QLabel* PotMaxLabel = nullptr;
    QLabel* InitialValueLabel = nullptr;
    QCheckBox* LearnPot = nullptr;
    QCheckBox* vMotPots = nullptr;
    QCheckBox* PresetCopiesNameCheckBox = nullptr;

    static const QStringList& labelModeItems();

    // The pot the page shows and edits; typing in PotNumber changes it only within 1..64.
    int selectedPot() const { return m_pot; }
    // Page Up and Page Down: the next or previous pot, within 1..64.
    void stepPot(int delta);
    // Shows pot n (1..64) loaded afresh from the bank, also when it is shown already.
    void selectPot(int n);

    // Shows the selected pot as the bank holds it; a page not built yet does so when built.
    void UpdatePotProps();
    void ShowPotPresetName();
    void ApplyPotPreset(const QString& key);
    void setMetaCaptions(const MetaCaptions& captions);
    // The preset selector's items, kept until the page is built.
    void setPresets(const QStringList& keys, const QStringList& names);

    PotCopy copySelected() const;
    void pasteSelected(const PotCopy& copy);

signals:
    // The desk control of `pot` has to follow: these are the one place where the virtual box
    // learns of edits on this page (through its ControlRegistry). `value` is what the bank
    // holds now.
    void knobChanged(int pot, PotPage::KnobProperty property, int value);
    void hintChanged(int pot, const QString& hint);
    // The page shows pot n now.
    void potSelected(int n);

protected:
    void build() override;

private:
    QWidget* makeEntryGroup();
    void describeEntryFields();
    QWidget* makeOptions();
    void connectHandlers();
    void setCaptionsForType(int type);

    void PotNumberChange(int n);
    void PotByte0Change(int status);
    void PotByte1Change();
    void PotMinChange();
    void PotMaxChange();
    void PotInitialValueChange();
    void PotLabelChange(const QString& text);
    void PotLabelModeChange(int index);
    void PotPresetNameChange(int index);

    void storeEntryByte(std::uint8_t PotEntry::*field, int value);

    BankRecord& m_record;
    StatusByteFields* m_status = nullptr;
    MetaCaptions m_metaCaptions;
    QStringList m_presetKeys;
    QStringList m_presetNames;
    int m_pot = 1;
    bool m_potPageLoading = false;
    bool m_loadWhenBuilt = false;
    bool m_potPresetApplying = false;
};
