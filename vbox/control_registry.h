// ControlRegistry: the controls of the desk built last, looked up by their Tag (0..9999). It
// holds references only; an entry whose control was destroyed reads as empty.
#pragma once

#include "tag_scheme.h"

#include <QObject>
#include <QPointer>
#include <vector>

class ControlRegistry {
public:
    ControlRegistry() : m_entries(desk_tags::kRegistrySize) {}

    void clear() { std::fill(m_entries.begin(), m_entries.end(), nullptr); }
    // Enters the control under its own Tag; Tags outside 0..9999 are never entered.
    void enter(QObject* control) {
        const int tag = tagOf(control);
        if (tag >= 0 && tag < desk_tags::kRegistrySize) m_entries[std::size_t(tag)] = control;
    }
    QObject* at(int tag) const {
        if (tag < 0 || tag >= desk_tags::kRegistrySize) return nullptr;
        return m_entries[std::size_t(tag)].data();
    }
    template <typename Control> Control* as(int tag) const {
        return qobject_cast<Control*>(at(tag));
    }

private:
    std::vector<QPointer<QObject>> m_entries;
};
