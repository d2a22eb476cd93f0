// DeskHost: what the virtual box needs from the window that owns the bank and the MIDI output.
// The editor implements it, so that the virtual box never includes editor headers.
#pragma once

#include "desk_actions.h"

#include <QString>

class QWidget;

class DeskHost {
public:
    virtual ~DeskHost() = default;

    // Hands one short message to the MIDI output; with no port open nothing goes out.
    virtual void sendShortMessage(const ShortMessage& message) = 0;
    // A pot's stored value changed on the desk: the pot editor follows when it shows that pot.
    virtual void potValueChanged(int potIndex, int value) = 0;
    // Right-click on a desk control: the editor window, the page and the entry (1-based; the
    // editor limits it to its range).
    virtual void editPot(int potNumber) = 0;
    virtual void editButton(int buttonNumber) = 0;
    // "Virtual Motorized Pots": incoming values move the desk's controls.
    virtual bool motorizedPots() const = 0;

    // The custom desk: its description file (none by default), whether building it hides the
    // editor window, the editor coming back when the desk closes, and the log for what went
    // wrong while reading or writing a desk file.
    virtual QString customDeskFile() const { return {}; }
    virtual bool hideEditorWithDesk() const { return false; }
    virtual void setEditorVisible(bool) {}
    virtual void WriteMsg(const QString&) {}
    // A desk window is about to be shown: the host may put it where the user had it. `deskFile`
    // is the custom desk's description, empty for the standard desk.
    virtual void placeDeskWindow(QWidget&, const QString& /*deskFile*/) {}
};

// A host without an editor or a MIDI output: the desk plays into nothing. For pictures and
// measurements of a desk alone; `deskFile` names the custom desk to build, if any.
class SilentDeskHost : public DeskHost {
public:
    QString deskFile;

    void sendShortMessage(const ShortMessage&) override {}
    void potValueChanged(int, int) override {}
    void editPot(int) override {}
    void editButton(int) override {}
    bool motorizedPots() const override { return false; }
    QString customDeskFile() const override { return deskFile; }
};
