// PresetSelector: the editable list of preset names on the pot and button pages. Shows the name
// of the preset that matches the page and reports when the user chooses one.
#pragma once

#include "edit_combo.h"

#include <QStringList>

class PresetSelector : public EditCombo {
    Q_OBJECT
public:
    explicit PresetSelector(QWidget* parent = nullptr);

    // Item i is names[i] and belongs to keys[i].
    void setPresets(const QStringList& keys, const QStringList& names);
    const QStringList& keys() const { return m_keys; }

    // Shows the name of preset `index`, or "Unknown" for -1; applies nothing.
    void showPreset(int index);

signals:
    // The user selected item `index` and the text shows exactly that item.
    void presetChosen(int index);

private:
    void userChange(int index);

    QStringList m_keys;
};
