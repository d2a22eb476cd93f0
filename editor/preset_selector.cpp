#include "preset_selector.h"

PresetSelector::PresetSelector(QWidget* parent) : EditCombo(true, parent) {
    connect(this, &EditCombo::userChanged, this, &PresetSelector::userChange);
}

void PresetSelector::setPresets(const QStringList& keys, const QStringList& names) {
    m_keys = keys;
    clear();
    addItems(names);
    setCurrentIndex(-1);
}

void PresetSelector::showPreset(int index) {
    setCurrentIndex(index);
    if (index < 0) setEditText(tr("Unknown"));
}

void PresetSelector::userChange(int index) {
    if (index >= 0 && index < m_keys.size() && currentText() == itemText(index))
        emit presetChosen(index);
}
