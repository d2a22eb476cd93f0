// LibrarySlots: copies, swaps, moves and renames banks among the files of a library folder, with
// an undo history of the files' contents. Each file is written atomically; an operation over two
// files that fails half-way puts back the file it had written, so the folder stays as it was.
// The caller keeps the object (and so its history) for as long as it shows the folder. No widgets.
//
// The folder's state file is left alone: it says what the controller holds in each slot, so a
// bank copied into slot 12 simply differs from the controller's bank 12 now, and "upload changed
// banks" takes it.
#pragma once

#include "bank_record.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <optional>
#include <vector>

class LibrarySlots {
public:
    explicit LibrarySlots(QString folder, std::size_t historyLimit = 50);
    const QString& folder() const { return m_folder; }

    // Each returns false, with `error` set and the folder as it was, when it cannot be done.
    // "Copy bank 3 to bank 12": the file of bank 12 becomes a copy of bank 3's.
    bool copy(int from, int to, QString* error);
    // "Swap banks 3 and 12": either may be empty.
    bool swap(int a, int b, QString* error);
    // "Move bank 3 to bank 12": a copy, then bank 3's slot is emptied by removing its file.
    bool move(int from, int to, QString* error);
    // "Rename bank 3 to "Live"": the bank name inside the dump; the file is written anew as a
    // clean dump (device id 0, nothing but the dump).
    bool rename(int bank, const QString& name, QString* error);

    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_steps.size(); }
    // The text of the operation that undo or redo would take back or do again; empty when none.
    QString undoText() const;
    QString redoText() const;
    // False, with `error` and the folder unchanged, when a file was changed since by something
    // else (its contents are not what the operation left) or cannot be written.
    bool undo(QString* error);
    bool redo(QString* error);

private:
    using Content = std::optional<QByteArray>; // a file's bytes; nothing for no file
    struct FileChange {
        int bank;
        Content before, after;
    };
    struct Step {
        QString text;
        std::vector<FileChange> files; // in the order they are written
    };
    enum class Direction { Forward, Back };

    bool perform(Step step, QString* error);
    bool setFiles(const Step& step, Direction direction, QString* error) const;
    bool readBank(int bank, Content* content, QString* error) const;
    std::optional<BankRecord> readDumpBank(int bank, Content* content, QString* error) const;
    QString path(int bank) const;

    QString m_folder;
    std::size_t m_historyLimit;
    std::deque<Step> m_steps;
    std::size_t m_done = 0; // steps done; those after it can be redone
};
