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

// Motorised pots change the page's fields thousands of times a second, mostly leaving the name as
// it was: the same name again is not laid out again.
void PresetSelector::showPreset(int index) {
    const QString name = index < 0 ? tr("Unknown") : itemText(index);
    if (index == currentIndex() && currentText() == name) return;
    setCurrentIndex(index);
    if (index < 0) setEditText(name);
}

void PresetSelector::userChange(int index) {
    if (index >= 0 && index < m_keys.size() && currentText() == itemText(index))
        emit presetChosen(index);
}
