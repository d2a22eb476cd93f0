#include "bank_history.h"

#include "record_diff.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <memory>

namespace {

QString stepName(const BankRecord& before, const BankRecord& after) {
    const std::vector<FieldDifference> fields = recordDifferences(before, after);
    if (fields.empty()) return {};
    const QString first = QString::fromStdString(fields.front().field);
    return fields.size() == 1
               ? first
               : BankHistory::tr("%1 and %n more", "", int(fields.size()) - 1).arg(first);
}

} // namespace

// One step: the changed bytes, for a desk turn the gesture it belongs to, and whether it loaded a
// bank.
class BankStep : public QUndoCommand {
public:
    BankStep(BankHistory& history, RecordPatch patch, const QString& text, bool loads)
        : QUndoCommand(text), m_history(history), m_patch(std::move(patch)), m_loads(loads) {}
    // The turn of `gesture`, before it has turned a pot.
    BankStep(BankHistory& history, int gesture) : m_history(history), m_gesture(gesture) {}

    // The record already holds the change when the step is pushed.
    void redo() override {
        if (std::exchange(m_pushed, true)) {
            m_patch.applyAfter(m_history.m_record);
            m_history.applied(m_patch, m_loads ? &m_originAfter : nullptr);
        }
    }
    void undo() override {
        if (changesNothing()) return; // a turn back to its start leaves the stack this way
        m_patch.applyBefore(m_history.m_record);
        m_history.applied(m_patch, m_loads ? &m_originBefore : nullptr);
    }
    // A step that loads a bank also takes the bank from one origin to another.
    void setOrigins(const BankOrigin& before, const BankOrigin& after) {
        m_originBefore = before;
        m_originAfter = after;
    }
    bool isTurn(int gesture) const { return m_gesture >= 0 && m_gesture == gesture; }
    // The turn has turned `pot` too, and now changes what `patch` changes.
    void turned(int pot, RecordPatch patch) {
        m_patch = std::move(patch);
        if (std::ranges::find(m_turnedPots, pot) != m_turnedPots.end()) return;
        m_turnedPots.push_back(pot);
        setText(BankHistory::turnName(m_turnedPots));
    }
    std::size_t patchBytes() const { return m_patch.heapBytes(); }
    bool changesNothing() const { return m_patch.empty(); }

private:
    BankHistory& m_history;
    RecordPatch m_patch;
    int m_gesture = -1;
    bool m_loads = false;
    bool m_pushed = false;
    std::vector<int> m_turnedPots; // of a desk turn, in the order they were first turned
    BankOrigin m_originBefore, m_originAfter;
};

BankHistory::BankHistory(BankRecord& record, QObject* parent)
    : QObject(parent), m_record(record), m_committed(record) {
    m_stack.setUndoLimit(kUndoLimit);
    connect(&m_stack, &QUndoStack::indexChanged, this,
            [this] { emit modifiedChanged(modified()); });
    connect(&m_stack, &QUndoStack::cleanChanged, this,
            [this] { emit modifiedChanged(modified()); });
}

void BankHistory::recordEdited(const BankRecord& before, const QString& text) {
    if (m_quiet) return;
    if (before != m_committed) {
        const BankRecord after = m_record;
        m_record = before;
        push(m_committed, {});
        m_record = after;
    }
    push(before, text);
}

void BankHistory::commit(const QString& text) {
    push(m_committed, text);
}

QString BankHistory::turnName(const std::vector<int>& pots) {
    if (pots.size() == 1) return tr("desk turn of pot %1").arg(pots[0]);
    if (pots.size() == 2) return tr("desk turn of pots %1 and %2").arg(pots[0]).arg(pots[1]);
    return tr("desk turn of %1 pots").arg(pots.size());
}

void BankHistory::deskTurned(int pot, int gesture) {
    if (m_quiet) return;
    BankStep* open = turnOnTop(gesture);
    if (!open) m_turnStart = m_committed;
    // Only the turned value joins the step: values typed and not yet committed stay changes of
    // their own, to become a step when their field is left.
    m_committed.setInitialValue(pot, m_record.initialValue(pot));
    // Rebuilt from the start of the gesture: a pot that came back to its start and then moved on
    // again is part of the step.
    RecordPatch patch = RecordPatch::between(m_turnStart, m_committed);
    if (!open) {
        if (patch.empty()) return;
        auto step = std::make_unique<BankStep>(*this, gesture);
        step->turned(pot, std::move(patch));
        m_stack.push(step.release());
        return;
    }
    open->turned(pot, std::move(patch));
    // Turned back to where it started: a step that changes nothing leaves the stack (an obsolete
    // command is dropped, not undone).
    if (open->changesNothing()) {
        open->setObsolete(true);
        m_stack.undo();
    }
}

BankStep* BankHistory::turnOnTop(int gesture) {
    const int top = m_stack.count() - 1;
    if (top < 0 || m_stack.index() != m_stack.count() || m_stack.cleanIndex() == m_stack.count())
        return nullptr;
    auto* step = static_cast<BankStep*>(const_cast<QUndoCommand*>(m_stack.command(top)));
    return step->isTurn(gesture) ? step : nullptr;
}

bool BankHistory::loadBank(const QString& text, const std::function<bool()>& load,
                           const BankOrigin& origin) {
    commit();
    const BankRecord before = m_record;
    bool loaded = false;
    {
        QScopedValueRollback quiet(m_quiet, true);
        loaded = load();
    }
    if (!loaded) {
        m_committed = m_record; // a bank not taken leaves the record as it was
        return false;
    }
    const int steps = m_stack.count();
    push(before, text, true);
    if (m_stack.count() > steps) // the same bytes again make no step
        static_cast<BankStep*>(const_cast<QUndoCommand*>(m_stack.command(m_stack.count() - 1)))
            ->setOrigins(m_origin, origin);
    setOrigin(origin);
    markSaved();
    return true;
}

void BankHistory::setOrigin(const BankOrigin& origin) {
    if (origin == m_origin) return;
    m_origin = origin;
    emit originChanged(m_origin);
}

void BankHistory::reset() {
    m_stack.clear();
    markSaved();
}

void BankHistory::markSaved() {
    m_committed = m_record; // the bank as written, with whatever normalising writing did
    m_stack.setClean();
    emit modifiedChanged(modified());
}

void BankHistory::push(const BankRecord& before, const QString& text, bool loads) {
    if (m_quiet) return;
    RecordPatch patch = RecordPatch::between(before, m_record);
    if (patch.empty()) return;
    const QString name = text.isEmpty() ? stepName(before, m_record) : text;
    m_committed = m_record; // `before` may be m_committed itself: named first
    m_stack.push(new BankStep(*this, std::move(patch), name, loads));
}

void BankHistory::applied(const RecordPatch& patch, const BankOrigin* origin) {
    {
        QScopedValueRollback quiet(m_quiet, true);
        emit restored(patch);
    }
    m_committed = m_record;
    if (origin) setOrigin(*origin);
}

std::size_t BankHistory::patchBytes() const {
    std::size_t bytes = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        bytes += static_cast<const BankStep*>(m_stack.command(i))->patchBytes();
    return bytes;
}
