// BankDocument: the bank the editor window edits: the record, its undo history, where it came
// from and whether it holds unsaved edits. The window, its pages, the overview, the Library page
// and the desk link change the bank through it, and its signals make every view follow. No
// widgets; it knows nothing of the window.
#pragma once

#include "bank_history.h"
#include "bank_origin.h"
#include "bank_record.h"

#include <QObject>
#include <functional>

class BankDocument : public QObject {
    Q_OBJECT
public:
    explicit BankDocument(QObject* parent = nullptr);

    BankRecord& record() { return m_record; }
    const BankRecord& record() const { return m_record; }
    BankHistory& history() { return m_history; }
    const BankOrigin& origin() const { return m_history.origin(); }

    // A view that gives its values to the record only when asked (the box configuration page)
    // hands them over through `takeOver` before every step, so that no step misses them.
    void setPendingEdits(std::function<void()> takeOver) { m_takePending = std::move(takeOver); }
    // What the views have written since the last step becomes one step named `text`: typed
    // values count when their field is left or Enter is pressed.
    void commit(const QString& text = {});
    // Code that has changed the record itself: `before` is the bank as it was before.
    void recordEdited(const BankRecord& before, const QString& text = {});
    void undo();
    void redo();
    // Puts a new bank into the record through `load` (true when it took one) as one undo step
    // named `text`; the new bank, from `origin`, is then the saved state.
    bool replaceBank(const QString& text, const std::function<bool()>& load,
                     const BankOrigin& origin);
    // The bank went into `path` whole: it is that file's now, and the saved state.
    void storedTo(const QString& path);
    // The bank went whole to `bank` of the controller; it is the saved state when `unchanged`
    // (the record still holds what was sent).
    void sentTo(int bank, bool unchanged);
    // Whether the bank differs from its saved state; pending values count as a step first.
    bool hasUnsavedEdits();

signals:
    // Undo or redo put the bytes of `patch` back into the record: every view reloads here.
    void restored(const RecordPatch& patch);
    // The bank's origin changed: a load, its undo or redo, a store or an upload.
    void originChanged(const BankOrigin& origin);
    // Whether the bank holds unsaved changes, after every step, undo, redo or save.
    void modifiedChanged(bool modified);

private:
    void takePending();

    BankRecord m_record;
    std::function<void()> m_takePending;
    BankHistory m_history; // after the record it works on
};
