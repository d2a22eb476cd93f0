// ButtonPage: the "Buttons" page. Shows one button of the bank at a time and writes every change
// of its event and mode into the bank at once.
#pragma once

#include "bank_record.h"
#include "deferred_page.h"
#include "hex_byte_edit.h"

class EditCombo;
class PresetSelector;
class QCheckBox;
class QLabel;
class SpinEdit;
class StatusByteFields;

class ButtonPage : public DeferredPage {
    Q_OBJECT
public:
    explicit ButtonPage(BankRecord& record, QWidget* parent = nullptr);

    SpinEdit* ButtNumber = nullptr;
    PresetSelector* ButtPresetName = nullptr;
    EditCombo* ButtByte0A = nullptr;
    SpinEdit* ButtByte0B = nullptr;
    SpinEdit* ButtByte0 = nullptr;
    SpinEdit* ButtByte1 = nullptr;
    // Limited to 0..127 like every byte of the bank, so that no value reaches a dump with
    // bit 7 set.
    SpinEdit* ButtByte2 = nullptr;
    EditCombo* ButtMode = nullptr;
    HexByteEdit* ButtByte0HEX = nullptr;
    HexByteEdit* ButtByte1HEX = nullptr;
    HexByteEdit* ButtByte2HEX = nullptr;
    QLabel* ButtByte0BLabel = nullptr;
    QLabel* ButtByte1Label = nullptr;
    QLabel* ButtByte2Label = nullptr;
    QCheckBox* LearnButt = nullptr;

    static const QStringList& modeItems();

    // The button the page shows and edits; typing in ButtNumber changes it only within 1..64.
    int selectedButton() const { return m_button; }
    // Page Up and Page Down: the next or previous button, within 1..64.
    void stepButton(int delta);
    // Shows button n (1..64) loaded afresh from the bank, also when it is shown already.
    void selectButton(int n);

    // Shows the selected button as the bank holds it; a page not built yet does so when built.
    void UpdateButtProps();
    // The preset selector's items, kept until the page is built.
    void setPresets(const QStringList& keys, const QStringList& names);
    void ShowButtPresetName();
    void ApplyButtPreset(const QString& key);

    ButtonEntry copySelected() const;
    void pasteSelected(const ButtonEntry& entry);

signals:
    // The page shows button n now.
    void buttonSelected(int n);

protected:
    void build() override;

private:
    QWidget* makeEntryGroup();
    void describeEntryFields();
    void connectHandlers();

    void ButtNumberChange(int n);
    void ButtByte0Change(int status);
    void ButtByte1Change();
    void ButtByte2Change();
    void ButtModeChange(int index);
    void ButtPresetNameChange(int index);
    void storeEntryByte(std::uint8_t ButtonEntry::*field, int value);

    BankRecord& m_record;
    QStringList m_presetKeys;
    QStringList m_presetNames;
    StatusByteFields* m_status = nullptr;
    int m_button = 1;
    bool m_buttPageLoading = false;
    bool m_loadWhenBuilt = false;
    bool m_buttPresetApplying = false;
};
