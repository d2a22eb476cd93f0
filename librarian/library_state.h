// LibraryState: what the controller's banks last held, as far as a library folder knows, kept in
// the folder's state file ".vpultron64-library". Each bank has the checksum of the bank the
// controller was last known to hold (received by a backup, uploaded whole by a restore, read back
// unchanged by a verify), or none when that is not known. A bank changed on the controller's own
// panel is not seen: the state only follows the transfers of this program.
//
// The checksum is taken over the bank's record (the 2048 bytes the controller keeps, as a dump
// of them reads back), not over the file's bytes. What it is compared with later is the folder's
// file, and two files that hold the same record put the same bank into the controller: an upload is
// built from the record, so the device id in a file's blocks (a backup's files carry the
// controller's) and anything else in the file that is not the bank do not make a bank "changed".
#pragma once

#include "bank_job_runner.h"
#include "bank_record.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class LibraryState {
public:
    // How the state file was found.
    enum class Source { NoFile, Corrupt, Foreign, Read };

    static QString fileName(); // ".vpultron64-library"
    static QString filePath(const QString& folder);
    // The checksum a bank is known by.
    static QByteArray checksum(const BankRecord& record);

    // The folder's state. A missing, unreadable, corrupt or foreign file gives no known state.
    static LibraryState read(const QString& folder);
    Source source() const { return m_source; }
    // Whether the folder has a state at all (each bank may still be unknown).
    bool known() const { return m_source == Source::Read; }
    // Why the state is not known: "no record of what the controller holds", ...
    QString unknownReason() const;

    // Whether the controller is known to hold `record` in `bank`.
    bool holds(int bank, const BankRecord& record) const;
    bool bankKnown(int bank) const { return !m_checksums.at(bank - 1).isEmpty(); }
    // What the controller holds in `bank` now; nothing when that is not known any more.
    void set(int bank, const std::optional<BankRecord>& held);
    // Takes what an ended operation says about the controller: a bank received, uploaded whole
    // or read back unchanged is held; an upload that failed or stopped half-way, or a verify
    // that read back another bank, leaves the bank unknown.
    void take(const BankReport& report);

    // Writes the state file atomically; a foreign file is left as it is (false).
    bool write(const QString& folder, QString* error) const;

private:
    Source m_source = Source::NoFile;
    std::array<QByteArray, 128> m_checksums; // hex; empty when unknown
};

// Reads the folder's state, changes it and writes it back at once, so that the Library page and
// vpt64 working on one folder keep each other's banks. False, with `error`, when it could not be
// written.
bool updateLibraryState(const QString& folder, const std::function<void(LibraryState&)>& change,
                        QString* error);

// The banks among `banks` whose file differs from what the controller is known to hold (or whose
// bank the controller is not known to hold); banks without a file are left out. Nothing, with
// `why`, when the folder has no known state.
std::optional<std::vector<int>> changedBanks(const QString& folder, const std::vector<int>& banks,
                                             QString* why);
