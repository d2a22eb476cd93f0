#include "library_slots.h"

#include "bank_layout.h"
#include "dump_buffer.h"
#include "dump_codec.h"
#include "dump_file.h"
#include "library_folder.h"
#include "sysex_protocol.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

bool isBank(int bank, QString* error) {
    if (bank >= 1 && bank <= library_folder::kBankCount) return true;
    *error = QStringLiteral("there is no bank %1 (banks are 1..128)").arg(bank);
    return false;
}

bool areTwoBanks(int a, int b, QString* error) {
    if (!isBank(a, error) || !isBank(b, error)) return false;
    if (a != b) return true;
    *error = QStringLiteral("both slots are bank %1").arg(a);
    return false;
}

// The controller shows 16 plain ASCII characters.
bool isBankName(const QString& name, QString* error) {
    if (name.size() > bank_layout::kBankNameLength) {
        *error = QStringLiteral("a bank name holds at most %1 characters")
                     .arg(bank_layout::kBankNameLength);
        return false;
    }
    const bool plain = std::all_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x7F;
    });
    if (!plain)
        *error = QStringLiteral("a bank name holds only letters, digits, punctuation and spaces "
                                "of plain ASCII");
    return plain;
}

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

// Writes the file atomically, or removes it for no content. A write-protected file is neither
// replaced nor removed, as an atomic write (QSaveFile) would not replace it either.
bool putContent(const QString& path, const std::optional<QByteArray>& content, QString* error) {
    if (content) return writeFileAtomically(path, *content, error);
    const QFileInfo info(path);
    if (!info.exists()) return true;
    if (!info.isWritable()) {
        *error = QStringLiteral("the file is write-protected");
        return false;
    }
    QFile file(path);
    if (file.remove()) return true;
    *error = file.errorString();
    return false;
}

} // namespace

LibrarySlots::LibrarySlots(QString folder, std::size_t historyLimit)
    : m_folder(std::move(folder)), m_historyLimit(std::max<std::size_t>(1, historyLimit)) {}

bool LibrarySlots::copy(int from, int to, QString* error) {
    Content source, target;
    if (!areTwoBanks(from, to, error) || !readDumpBank(from, &source, error) ||
        !readBank(to, &target, error))
        return false;
    return perform(
        {QStringLiteral("Copy bank %1 to bank %2").arg(from).arg(to), {{to, target, source}}},
        error);
}

bool LibrarySlots::swap(int a, int b, QString* error) {
    Content first, second;
    if (!areTwoBanks(a, b, error) || !readBank(a, &first, error) || !readBank(b, &second, error))
        return false;
    if (!first && !second) {
        *error = QStringLiteral("banks %1 and %2 are both empty").arg(a).arg(b);
        return false;
    }
    return perform({QStringLiteral("Swap banks %1 and %2").arg(a).arg(b),
                    {{a, first, second}, {b, second, first}}},
                   error);
}

bool LibrarySlots::move(int from, int to, QString* error) {
    Content source, target;
    if (!areTwoBanks(from, to, error) || !readDumpBank(from, &source, error) ||
        !readBank(to, &target, error))
        return false;
    return perform({QStringLiteral("Move bank %1 to bank %2").arg(from).arg(to),
                    {{to, target, source}, {from, source, std::nullopt}}},
                   error);
}

bool LibrarySlots::rename(int bank, const QString& name, QString* error) {
    Content old;
    if (!isBank(bank, error) || !isBankName(name, error)) return false;
    const auto record = readDumpBank(bank, &old, error);
    if (!record) return false;
    BankRecord renamed = *record;
    renamed.setBankName(name.toStdString());
    QByteArray dump(sysex::kDumpSize, '\0');
    buildDump(renamed, std::span(reinterpret_cast<std::uint8_t*>(dump.data()), sysex::kDumpSize));
    return perform(
        {QStringLiteral("Rename bank %1 to \"%2\"").arg(bank).arg(name), {{bank, old, dump}}},
        error);
}

QString LibrarySlots::undoText() const {
    return canUndo() ? m_steps[m_done - 1].text : QString();
}

QString LibrarySlots::redoText() const {
    return canRedo() ? m_steps[m_done].text : QString();
}

bool LibrarySlots::undo(QString* error) {
    if (!canUndo()) {
        *error = QStringLiteral("nothing to undo");
        return false;
    }
    const Step& step = m_steps[m_done - 1];
    if (!setFiles(step, Direction::Back, error)) {
        *error = QStringLiteral("cannot undo \"%1\": %2").arg(step.text, *error);
        return false;
    }
    --m_done;
    return true;
}

bool LibrarySlots::redo(QString* error) {
    if (!canRedo()) {
        *error = QStringLiteral("nothing to redo");
        return false;
    }
    const Step& step = m_steps[m_done];
    if (!setFiles(step, Direction::Forward, error)) {
        *error = QStringLiteral("cannot redo \"%1\": %2").arg(step.text, *error);
        return false;
    }
    ++m_done;
    return true;
}

bool LibrarySlots::perform(Step step, QString* error) {
    if (!setFiles(step, Direction::Forward, error)) return false;
    m_steps.erase(m_steps.begin() + std::ptrdiff_t(m_done), m_steps.end());
    m_steps.push_back(std::move(step));
    if (m_steps.size() > m_historyLimit) m_steps.pop_front();
    m_done = m_steps.size();
    return true;
}

// Forward writes each file's `after` in order, Back each file's `before` in the reverse order.
// Only files that hold what the step expects are written; when one write fails, the files
// written before it get their contents back.
bool LibrarySlots::setFiles(const Step& step, Direction direction, QString* error) const {
    const bool forward = direction == Direction::Forward;
    std::vector<const FileChange*> order;
    for (const FileChange& change : step.files)
        order.push_back(&change);
    if (!forward) std::reverse(order.begin(), order.end());
    for (const FileChange* change : order) {
        Content now;
        if (!readBank(change->bank, &now, error)) return false;
        if (now != (forward ? change->before : change->after)) {
            *error = QStringLiteral("bank %1 has been changed meanwhile").arg(change->bank);
            return false;
        }
    }
    for (auto done = order.begin(); done != order.end(); ++done) {
        QString reason;
        const FileChange& change = **done;
        if (putContent(path(change.bank), forward ? change.after : change.before, &reason))
            continue;
        *error = QStringLiteral("cannot write bank %1 ('%2'): %3")
                     .arg(change.bank)
                     .arg(path(change.bank), reason);
        for (auto back = std::make_reverse_iterator(done); back != order.rend(); ++back)
            if (!putContent(path((*back)->bank), forward ? (*back)->before : (*back)->after,
                            &reason))
                *error += QStringLiteral("; bank %1 could not be put back: %2")
                              .arg((*back)->bank)
                              .arg(reason);
        return false;
    }
    return true;
}

bool LibrarySlots::readBank(int bank, Content* content, QString* error) const {
    QFile file(path(bank));
    if (!file.exists()) {
        content->reset();
        return true;
    }
    // Anything larger cannot be a bank, and is not worth keeping in the history.
    if (file.size() > DumpBuffer::kCapacity) {
        *error = QStringLiteral("bank %1 ('%2') is too large for a bank file: %3 bytes")
                     .arg(bank)
                     .arg(file.fileName())
                     .arg(file.size());
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read bank %1 ('%2'): %3")
                     .arg(bank)
                     .arg(file.fileName(), file.errorString());
        return false;
    }
    *content = file.readAll();
    return true;
}

// The bank's record, for a file that holds a valid dump.
std::optional<BankRecord> LibrarySlots::readDumpBank(int bank, Content* content,
                                                     QString* error) const {
    if (!readBank(bank, content, error)) return std::nullopt;
    if (!*content) {
        *error = QStringLiteral("bank %1 is empty").arg(bank);
        return std::nullopt;
    }
    const auto scanned = scanDump(bytesOf(**content), {});
    if (!scanned) {
        *error = QStringLiteral("bank %1 holds no valid dump").arg(bank);
        return std::nullopt;
    }
    return scanned->record;
}

QString LibrarySlots::path(int bank) const {
    return library_folder::bankFilePath(m_folder, bank);
}
