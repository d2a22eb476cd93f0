#include "bank_document.h"

BankDocument::BankDocument(QObject* parent) : QObject(parent), m_history(m_record) {
    connect(&m_history, &BankHistory::restored, this, &BankDocument::restored);
    connect(&m_history, &BankHistory::originChanged, this, &BankDocument::originChanged);
    connect(&m_history, &BankHistory::modifiedChanged, this, &BankDocument::modifiedChanged);
}

void BankDocument::takePending() {
    if (m_takePending) m_takePending();
}

void BankDocument::commit(const QString& text) {
    takePending();
    m_history.commit(text);
}

void BankDocument::recordEdited(const BankRecord& before, const QString& text) {
    m_history.recordEdited(before, text);
}

void BankDocument::undo() {
    commit();
    m_history.stack().undo();
}

void BankDocument::redo() {
    commit();
    m_history.stack().redo();
}

bool BankDocument::replaceBank(const QString& text, const std::function<bool()>& load,
                               const BankOrigin& origin) {
    commit();
    return m_history.loadBank(text, load, origin);
}

void BankDocument::storedTo(const QString& path) {
    m_history.markSaved();
    m_history.setOrigin(origin().storedTo(path));
}

void BankDocument::sentTo(int bank, bool unchanged) {
    m_history.setOrigin(origin().sentTo(bank));
    if (unchanged) m_history.markSaved();
}

bool BankDocument::hasUnsavedEdits() {
    commit();
    return m_history.modified();
}
