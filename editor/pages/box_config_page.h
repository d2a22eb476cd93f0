// BoxConfigPage: the "Box Config" page: the bank's global settings, the LED output shift
// register map, and the virtual desk options kept in the settings file.
#pragma once

#include "bank_record.h"
#include "deferred_page.h"
#include "field_ranges.h"

#include <array>

class EditCombo;
class QCheckBox;
class QLineEdit;
class SpinEdit;

class BoxConfigPage : public DeferredPage {
    Q_OBJECT
public:
    static constexpr int kShiftRegisters = 8;

    explicit BoxConfigPage(BankRecord& record, QWidget* parent = nullptr);

    QLineEdit* BankLabel = nullptr;
    EditCombo* MIDIMergerMode = nullptr;
    EditCombo* PotBehaviour = nullptr;
    QCheckBox* SnapShotAtPowerOn = nullptr;
    QCheckBox* AutoSnapshot = nullptr;
    QCheckBox* SendPCOnBankChange = nullptr;
    QCheckBox* ReceivePCForBankChange = nullptr;
    SpinEdit* GlobalMIDIChannel = nullptr;
    SpinEdit* TouchsensorSensitivity = nullptr;
    SpinEdit* MorphBank = nullptr;
    SpinEdit* MorphPotGlobal = nullptr;
    std::array<SpinEdit*, 4> MorphPotG{};                // MorphPotG1 .. MorphPotG4
    std::array<EditCombo*, kShiftRegisters> SROUT_Map{}; // SROUT_Map_1 .. SROUT_Map_8
    QCheckBox* autoshow_customdesk_yes_no = nullptr;
    QCheckBox* autoshow_customdesk_hide_editor = nullptr;

    static const QStringList& mergerModeItems();
    static const QStringList& potBehaviourItems();
    static const QStringList& ledMapItems();

    // Record to page: the global settings and the LED map. Edits on this page reach the record
    // only through saveToRecord, except the merger mode and the LED map, which write at once.
    // A page not built yet loads the record when it is built; until the first load the page
    // shows its fields' design values.
    void loadFromRecord();
    // Page to record: the global settings; the LED map is left alone. A page not built yet gives
    // the record back as its controls would have shown it (field_ranges::giveBackAsShown).
    void saveToRecord();
    // Whether the user changed a field that reaches the record only through saveToRecord since
    // the page was last loaded or saved.
    bool editedSinceLoad() const { return isBuilt() && shownGlobals() != m_shownAtLoad; }

    // The desk options from the settings file, kept until the page is built.
    void setDeskOptions(bool autoShowDesk, bool hideEditor);
    bool autoShowDesk() const;
    bool hideEditorWithDesk() const;

protected:
    void build() override;

private:
    QWidget* makeSettingsGroup();
    void describeSettings();
    QWidget* makeLedMapGroup();
    QWidget* makeDeskOptionsGroup();

    field_ranges::Globals shownGlobals() const;
    void MIDIMergerModeChange(int index);
    void SROUT_MapChange(int shiftRegister, int index);

    BankRecord& m_record;
    bool m_autoShowDesk = false;
    bool m_hideEditor = false;
    bool m_loadWhenBuilt = false;
    field_ranges::Globals m_shownAtLoad{};
};
