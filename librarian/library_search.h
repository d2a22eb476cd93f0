// library_search: the bank names, pots and buttons of a library folder that hold every word
// searched for, each as one line in the words of the "Overview" page. No widgets.
#pragma once

#include "bank_record.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace library_search {

enum class Place { Name, Pot, Button };

// One line found, with where it is, so that the library can open the bank on that control.
struct Hit {
    int bank = 0; // 1..128
    Place place = Place::Name;
    int control = 0;  // pot or button 1..64, 0 for the bank name
    std::string line; // bank-012.syx pot 33 "CutOff # 1": CC 74 ch 16, 0-127
    bool operator==(const Hit&) const = default;
};

// The words searched for, without regard to case. A word of digits only stands for a whole
// number ("1" finds "ch 1" but not "ch 16" or "C1", "012" finds "ch 12"); any other word is
// found anywhere in the text ("cut" finds "CutOff").
//
// A line matches when each word is in it or in its bank's name, and at least one word is in the
// line itself: the name narrows a search but finds no line alone, so "live cc 74" finds the CC 74
// pots of the bank "Live Set", "live" only its name line. The file name at the start of a line
// only says where it is: "bank-001.syx" would make every "1" match.
class Query {
public:
    // An argument may hold several words separated by white space.
    explicit Query(const QStringList& words);
    bool empty() const { return m_words.empty(); }

    struct Word {
        std::string text;          // lower case; a number without its leading zeros
        std::optional<int> number; // its value, when it is a number of at most 9 digits
        bool isNumber = false;
        // Holds a sign that joins the fields of a line ("0-127"), so that it is looked for in
        // the whole line and not field by field.
        bool spansFields = false;
    };
    const std::vector<Word>& words() const { return m_words; }

private:
    std::vector<Word> m_words;
};

// The lines of one bank that match: its name line, then pots 1..64, then buttons 1..64.
//   bank-012.syx name "Live Set"
//   bank-012.syx pot 33 "CutOff # 1": CC 74 ch 16, 0-127    (event, min-max)
//   bank-012.syx button 5: Note C4 ch 1, TOGGLE             (event, mode)
std::vector<Hit> searchBank(int bank, const BankRecord& record, const Query& query);

struct FolderSearch {
    std::vector<Hit> hits;            // in bank order
    std::vector<std::string> skipped; // "bank 3 skipped: 'DIR/bank-003.syx' holds no valid dump"
};

// Searches every bank file of the folder; banks without a file are left out silently. Nothing
// when the folder cannot be read; `error` says why.
std::optional<FolderSearch> searchFolder(const QString& folder, const Query& query, QString* error);

} // namespace library_search
