// LibraryTable: what the window's "Library" page knows about the 128 banks of a library folder
// (each bank's name and whether the folder and the controller agree on it), the operations a
// backup, restore or verify runs, and the line that says how a job ended. No widgets.
#pragma once

#include "bank_job_runner.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

class LibraryTable {
public:
    enum class State {
        NotReadYet,   // no valid dump in the folder
        InFolder,     // a valid dump in the folder, not compared with the controller
        InController, // the controller holds what the file holds
        Differs,      // the controller's bank differs from the file
    };
    enum class Job { Backup, Restore, Verify };

    struct Entry {
        QString name;
        State state = State::NotReadYet;
    };

    // Reads the bank files of `folder`; every bank starts over.
    void load(const QString& folder);
    const QString& folder() const { return m_folder; }
    const Entry& entry(int bank) const { return m_entries.at(bank - 1); }
    static QString stateText(State state);

    // The folder's record of a bank, nothing when its file holds no valid dump.
    std::optional<BankRecord> record(int bank) const;

    // The operations of a job on `banks`: a backup requests the banks whose file holds no valid
    // dump yet (so that an interrupted backup goes on from there), a restore uploads and a verify
    // reads back the banks that have one.
    std::vector<BankOperation> operations(Job job, const std::vector<int>& banks) const;
    // Takes one ended operation into the table; a received bank goes into its file first. False
    // when that file could not be written.
    bool take(const BankReport& report);
    // "Backup of 3 banks complete", "Backup cancelled at bank 5: 1 of 3 banks done", ...
    // `notSaved`: banks that arrived but whose file could not be written; they are not done.
    static QString endLine(Job job, const std::vector<BankReport>& reports,
                           const std::vector<int>& notSaved = {});

private:
    QString m_folder;
    std::array<Entry, 128> m_entries;
};

// How far a job is and how long it has left, from the reports so far and the running bank's
// progress. Pure: the caller gives the time.
class JobProgressEstimate {
public:
    // `plannedMsPerBank`: what one operation takes when all goes to plan.
    JobProgressEstimate(LibraryTable::Job job, int operations, int plannedMsPerBank);
    void operationEnded() { ++m_ended; }
    void setProgress(const JobProgress& progress) { m_progress = progress; }
    int percent() const;
    // "Backup: bank 5 (2 of 3), block 4 of 8".
    QString stateText() const;
    // "about 4 s left"
    QString timeLeftText(long long elapsedMs) const;

private:
    LibraryTable::Job m_job;
    int m_operations;
    int m_plannedMsPerBank;
    int m_ended = 0;
    JobProgress m_progress;
};
