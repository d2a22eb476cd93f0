// library_compare: two library folders compared bank by bank, for `vpt64 diff DIR_A DIR_B` and
// the library's folder comparison. No widgets.
#pragma once

#include "record_diff.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace library_compare {

// A bank that differs between the folders: a heading, then the fields that differ (none when the
// bank is in one folder only).
//   bank 12: "Live Set" -> "Live Set 2"    (the names differ)
//   bank 12: "Live Set"                     (same name, other fields differ)
//   bank 7: only in A
struct BankDifference {
    int bank = 0;
    std::string heading;
    std::vector<FieldDifference> fields;
    bool operator==(const BankDifference&) const = default;
};

// Nothing when the banks are equal.
std::optional<BankDifference> compareBanks(int bank, const BankRecord& a, const BankRecord& b);

struct FolderComparison {
    std::vector<BankDifference> banks; // in bank order
    // Bank files in both folders of which one holds no valid dump; they are not compared.
    std::vector<std::string> unreadable; // "bank 3: 'A/bank-003.syx' holds no valid dump"
    // Each bank's heading followed by its field lines, as `vpt64 diff` prints them.
    std::vector<std::string> lines() const;
};

// A bank counts as in a folder when its file is there. Nothing when a folder cannot be read;
// `error` says why.
std::optional<FolderComparison> compareFolders(const QString& folderA, const QString& folderB,
                                               QString* error);

} // namespace library_compare
