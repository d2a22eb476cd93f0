// BankHistory: the undo history of the bank the editor window owns. Each step keeps only the
// bytes it changed (a RecordPatch); undo and redo put them back into the record and announce it,
// so that every view of the bank reloads. The stack's clean state is the bank as it was last
// opened, received, stored or uploaded.
#pragma once

#include "bank_origin.h"
#include "bank_record.h"
#include "record_patch.h"

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <vector>

class BankStep;

class BankHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kUndoLimit = 1000;

    explicit BankHistory(BankRecord& record, QObject* parent = nullptr);

    QUndoStack& stack() { return m_stack; }

    // The one entry point for code that has changed the record itself (a page, the desk, a view
    // of the bank): `before` is the bank as it was before that change. The difference becomes one
    // step named `text`, or after the first changed field when `text` is empty; no difference
    // makes no step. Changes made before `before` and not yet a step become a step of their own.
    void recordEdited(const BankRecord& before, const QString& text = {});
    // What has been written into the record since the last step becomes one step: typed values
    // count when their field is left or Enter is pressed.
    void commit(const QString& text = {});
    // The desk wrote pot `pot`'s new value into the record. The changes of one turn gesture (the
    // same `gesture` number) make one step, whichever pots it turns (motorised input moves many):
    // the later ones widen the step on top in place, without a push, so that a flood of motorised
    // moves costs little each. Undo puts back every pot the gesture turned.
    void deskTurned(int pot, int gesture);
    // Runs `load`, which puts a new bank into the record (opened or received) and returns
    // whether it took one: one step named `text` that brings the previous bank and its origin
    // back, and the new bank, from `origin`, is the saved state. What the views write while they
    // reload is part of the bank.
    bool loadBank(const QString& text, const std::function<bool()>& load, const BankOrigin& origin);
    // Where the bank came from; it changes with a load, its undo and redo, and setOrigin.
    const BankOrigin& origin() const { return m_origin; }
    // The bank has been stored or sent somewhere: no step, as the bytes are the same.
    void setOrigin(const BankOrigin& origin);
    // The bank as the record holds it now has been stored or uploaded.
    void markSaved();
    // The record's changes since the last step are no edit (the pages' own normalising).
    void absorb() { m_committed = m_record; }
    // No history: the bank as it is now is the saved state (start-up).
    void reset();

    // Whether the record differs from the saved state: steps since then or changes not yet a step.
    bool modified() const { return !m_stack.isClean() || m_record != m_committed; }
    // Heap bytes the steps' patches hold (a measure of the history's memory).
    std::size_t patchBytes() const;

signals:
    // Undo or redo put the bytes of `patch` back into the record: the pages, the desk and every
    // other view of the bank reload here.
    void restored(const RecordPatch& patch);
    // The bank's origin changed: a load, its undo or redo, a store or an upload.
    void originChanged(const BankOrigin& origin);
    // Whether the bank holds changes that are not saved, after every step, undo, redo or save.
    void modifiedChanged(bool modified);

private:
    friend class BankStep;
    void push(const BankRecord& before, const QString& text, bool loads = false);
    void applied(const RecordPatch& patch, const BankOrigin* origin);
    // The step on top when it is the unsaved turn of `gesture`, else null.
    BankStep* turnOnTop(int gesture);
    static QString turnName(const std::vector<int>& pots);

    BankRecord& m_record;
    BankRecord m_committed; // the record as the last step left it
    BankRecord m_turnStart; // the record before the gesture of the desk turn step on top
    bool m_quiet = false;   // a bank is loaded or restored: the views' echoes make no steps
    BankOrigin m_origin;
    QUndoStack m_stack;
};
