// LibraryTable: what the window's "Library" page knows about the 128 banks of a library folder
// (each bank's name and whether the folder and the controller agree on it), the operations a
// backup, restore or verify runs, and the line that says how a job ended. No widgets.
#pragma once

#include "bank_job_runner.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class LibraryState;

class LibraryTable {
public:
    enum class State {
        NotReadYet,       // no valid dump in the folder
        InFolder,         // a valid dump in the folder, not compared with the controller
        SameAsController, // the controller holds what the file holds
        Differs,          // the controller's bank differs from the file
        Failed,           // the last operation on the bank failed
    };
    enum class Job { Backup, Restore, Verify };

    struct Entry {
        QString name;
        State state = State::NotReadYet;
        // Failed: why; differing: the title and one line for each field that differs.
        QStringList details;
        std::optional<BankRecord> stored; // what the bank's file held when last read
    };

    // Reads the bank files of `folder`; every bank starts over.
    void load(const QString& folder);
    // Reads the bank's file again after a change on disk; true when it holds another bank now
    // (which the controller is no longer known to hold).
    bool reread(int bank);
    const QString& folder() const { return m_folder; }
    const Entry& entry(int bank) const { return m_entries.at(bank - 1); }
    // "in the folder, same as the controller", "failed: <reason>", ...
    static QString stateText(const Entry& entry);
    // "<title>: 2 differences" and a line for each field that differs from a to b.
    static QStringList differenceLines(const QString& title, const BankRecord& a,
                                       const BankRecord& b);

    // The folder's record of a bank, nothing when its file holds no valid dump.
    std::optional<BankRecord> record(int bank) const;

    // The operations of a job on `banks`: a backup requests the banks whose file holds no valid
    // dump yet (so that an interrupted backup goes on from there), a restore uploads and a verify
    // reads back the banks that have one.
    // `fetchAgain`: a backup requests every bank, as those in the folder may be out of date.
    std::vector<BankOperation> operations(Job job, const std::vector<int>& banks,
                                          bool fetchAgain = false) const;
    // Takes one ended operation into the table and the folder's state file (see LibraryState);
    // a received bank goes into its file first. False when that file could not be written.
    bool take(const BankReport& report);
    // What the controller's bank holds after a transfer outside the table's jobs; nothing when
    // that is no longer known (an upload that stopped half-way). The state file follows too.
    void takeControllerBank(int bank, const std::optional<BankRecord>& controller);
    // Why the state file could not be written at the last change; empty when it was.
    const QString& stateError() const { return m_stateError; }
    // "Backup of 3 banks complete", "Backup cancelled at bank 5: 1 of 3 banks done", ...
    // `notSaved`: banks that arrived but whose file could not be written; they are not done.
    static QString endLine(Job job, const std::vector<BankReport>& reports,
                           const std::vector<int>& notSaved = {});

private:
    static Entry entryOf(const std::optional<BankRecord>& stored);
    bool keepReceived(const BankReport& report);
    void showControllerBank(int bank, const std::optional<BankRecord>& controller);
    void updateState(const std::function<void(LibraryState&)>& change);

    QString m_folder;
    QString m_stateError;
    std::array<Entry, 128> m_entries;
};

// How far a job is and how long it has left, from the reports so far and the running bank's
// progress. Pure: the caller gives the time.
class JobProgressEstimate {
public:
    // `banks`: those of the job's operations, in order; `plannedMsPerBank`: what one operation
    // takes when all goes to plan.
    JobProgressEstimate(LibraryTable::Job job, std::vector<int> banks, int plannedMsPerBank);
    void operationEnded(long long elapsedMs);
    void setProgress(const JobProgress& progress) { m_progress = progress; }
    int bank() const { return m_progress.bank; }
    int percent() const;
    // "Backup: bank 5 (2 of 3), block 4 of 8": the bank's place in the job, whatever has ended.
    QString stateText() const;
    // "about 4 s left", at the pace of the banks ended so far.
    QString timeLeftText(long long elapsedMs) const;

private:
    int operations() const { return std::max<int>(1, int(m_banks.size())); }

    LibraryTable::Job m_job;
    std::vector<int> m_banks;
    int m_plannedMsPerBank;
    int m_ended = 0;
    long long m_lastEndMs = 0; // when the last operation ended
    JobProgress m_progress;
};
