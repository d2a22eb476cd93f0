// The library folder: one dump file per bank, named bank-001.syx .. bank-128.syx, and the bank
// lists ("1-4,126-128") that choose among them.
#pragma once

#include "bank_record.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace library_folder {

constexpr int kBankCount = 128;

// "bank-007.syx" for bank 7 (1..128).
QString bankFileName(int bank);
QString bankFilePath(const QString& folder, int bank);
// The bank 1..128 of a library file name such as "bank-003.syx" (any case, any folder); 0 for any
// other name.
int bankOfFileName(const QString& path);

// Banks 1..128, in order.
std::vector<int> allBanks();

// Banks 1..128 in the order given, each once; an empty text means all 128. Nothing when the
// text is not a list of banks; `error` says why.
std::optional<std::vector<int>> parseBankList(const QString& text, QString* error);

// True when `folder` is a folder whose files can be read; otherwise `error` says why.
bool isReadableFolder(const QString& folder, QString* error);

// The record of a file that holds a valid dump, nothing for any other file.
std::optional<BankRecord> readBankFile(const QString& path);

// A bank of a library folder: its number and the record its file holds.
struct FolderBank {
    int bank = 0;
    BankRecord record;
};

// The banks whose file in `folder` holds a valid dump, in bank order. `invalid` hears of each
// bank file there that holds none (its bank and path); banks without a file are left out quietly.
std::vector<FolderBank> readValidBanks(const QString& folder,
                                       const std::function<void(int, const QString&)>& invalid);

} // namespace library_folder
