#include "library_search.h"

#include "bank_overview.h"
#include "library_folder.h"
#include "text_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <deque>
#include <span>

namespace library_search {
namespace {

using overview::ButtonColumn;
using overview::Controls;
using overview::PotColumn;
using Word = Query::Word;

// The signs that join the fields of a line besides spaces (at which the words are split):
//   pot 33 "CutOff # 1": CC 74 ch 16, 0-127
constexpr std::string_view kFieldSigns = "\":,-";

// Labels and bank names are 7-bit text, so ASCII rules suffice (and cost less than the locale's).
char lowerCase(char c) {
    return char(c + (static_cast<unsigned char>(c - 'A') < 26 ? 'a' - 'A' : 0));
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return lowerCase(c); });
    return text;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return lowerCase(c) >= 'a' && lowerCase(c) <= 'z';
}

std::string_view withoutLeadingZeros(std::string_view digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? digits.substr(digits.size() - 1)
                                           : digits.substr(first);
}

bool isDigitOrLetter(std::string_view text, std::size_t at) {
    return at < text.size() && (isDigit(text[at]) || isLetter(text[at]));
}

// A number stands whole in a text when no digit or letter is next to it but leading zeros, so
// that "12" is in "bank 012" but not in "112", "120" or "C12".
bool containsNumber(std::string_view text, std::string_view number) {
    for (auto at = text.find(number); at != std::string_view::npos;
         at = text.find(number, at + 1)) {
        auto start = at;
        while (start > 0 && text[start - 1] == '0')
            --start;
        if ((start == 0 || !isDigitOrLetter(text, start - 1)) &&
            !isDigitOrLetter(text, at + number.size()))
            return true;
    }
    return false;
}

// `text` in lower case.
bool contains(std::string_view text, const Word& word) {
    return word.isNumber ? containsNumber(text, word.text)
                         : text.find(word.text) != std::string_view::npos;
}

// Which of the query's words a field of a line holds, so that a field met again (the words of
// an event, a mode) is searched once.
struct FieldWords {
    std::vector<char> holds; // by the query's words

    FieldWords(const std::string& text, const std::vector<Word>& words) {
        const std::string lower = lowerCase(text);
        for (const Word& word : words)
            holds.push_back(contains(lower, word));
    }
};

// What a line is made of: texts searched before, numbers, and a label to search now. A word
// without the signs that join them is in the line exactly when it is in one of these fields.
struct LineFields {
    std::array<const FieldWords*, 3> texts{};
    std::span<const int> numbers;
    std::string_view label; // lower case
};

// Goes through the lines of banks. A search meets 16,512 lines in a full folder, and most match
// nothing, so a line is matched field by field and built only when it matches.
class LineSearch {
public:
    explicit LineSearch(const Query& query)
        : m_words(query.words()), m_potWord("pot", m_words), m_buttonWord("button", m_words),
          m_nameWord("name", m_words) {}

    void searchBank(int bank, const BankRecord& record, std::vector<Hit>& hits) {
        const FieldWords bankName(record.bankName(), m_words);
        const std::string fileName = library_folder::bankFileName(bank).toStdString();
        const auto check = [&](Place place, int n, const LineFields& fields) {
            if (!matches(fields, bankName, [&] { return line(record, place, n, Form::Lower); }))
                return;
            hits.push_back({bank, place, n, fileName + ' ' + line(record, place, n, Form::Shown)});
        };
        check(Place::Name, 0, {{&m_nameWord, &bankName}, {}, {}});
        for (int n = 1; n <= 64; ++n) {
            const PotEntry pot = record.pot(n);
            const int numbers[] = {n, pot.min, pot.max};
            const std::string label = lowerCase(potLabel(record, n));
            check(Place::Pot, n,
                  {{&m_potWord, &eventWords(record, Controls::Pots, n, pot.status, pot.data)},
                   numbers,
                   label});
        }
        for (int n = 1; n <= 64; ++n) {
            const ButtonEntry button = record.button(n);
            const int numbers[] = {n};
            check(Place::Button, n,
                  {{&m_buttonWord,
                    &eventWords(record, Controls::Buttons, n, button.status, button.data1),
                    &mode(record, n, button.mode)},
                   numbers,
                   {}});
        }
    }

private:
    enum class Form { Lower, Shown };

    // Each word in the line or in the bank's name, and one at least in the line. `lowerLine`
    // builds the whole line, for the words that span fields.
    template <typename BuildLine>
    bool matches(const LineFields& fields, const FieldWords& bankName, BuildLine lowerLine) {
        std::optional<std::string> whole;
        bool inLine = false;
        for (std::size_t i = 0; i < m_words.size(); ++i) {
            bool here = inFields(fields, i);
            if (!here && m_words[i].spansFields) {
                if (!whole) whole = lowerLine();
                here = contains(*whole, m_words[i]);
            }
            if (!here && !bankName.holds[i]) return false;
            inLine = inLine || here;
        }
        return inLine;
    }

    bool inFields(const LineFields& fields, std::size_t i) const {
        const Word& word = m_words[i];
        for (const FieldWords* text : fields.texts)
            if (text && text->holds[i]) return true;
        if (word.number && std::find(fields.numbers.begin(), fields.numbers.end(), *word.number) !=
                               fields.numbers.end())
            return true;
        return contains(fields.label, word);
    }

    // The label as the overview shows it.
    static std::string potLabel(const BankRecord& record, int n) {
        return overview::cellText(record, Controls::Pots, n, int(PotColumn::Label));
    }

    // The overview's event words, searched once for each status and first byte the search meets
    // (a library repeats few of them).
    const FieldWords& eventWords(const BankRecord& record, Controls controls, int n,
                                 std::uint8_t status, std::uint8_t data1) {
        return fieldWords(status << 8 | data1, [&] {
            const int column =
                controls == Controls::Pots ? int(PotColumn::Event) : int(ButtonColumn::Event);
            return overview::cellText(record, controls, n, column);
        });
    }

    const FieldWords& mode(const BankRecord& record, int n, std::uint8_t mode) {
        return fieldWords(kModeKeys + mode, [&] {
            return overview::cellText(record, Controls::Buttons, n, int(ButtonColumn::Mode));
        });
    }

    template <typename MakeText> const FieldWords& fieldWords(int key, MakeText makeText) {
        std::uint32_t& place = m_fieldPlace[key];
        if (place == 0) {
            m_fields.emplace_back(makeText(), m_words);
            place = std::uint32_t(m_fields.size());
        }
        return m_fields[place - 1];
    }

    // The line as shown, or in lower case.
    std::string line(const BankRecord& record, Place place, int n, Form form) const {
        std::string text;
        const auto add = [&](const std::string& shown) {
            text += form == Form::Shown ? shown : lowerCase(shown);
        };
        switch (place) {
        case Place::Name:
            text = "name \"";
            add(record.bankName());
            text += '"';
            break;
        case Place::Pot: {
            const PotEntry pot = record.pot(n);
            text = formatText("pot %d \"", n);
            add(potLabel(record, n));
            text += "\": ";
            add(overview::cellText(record, Controls::Pots, n, int(PotColumn::Event)));
            text += formatText(", %d-%d", pot.min, pot.max);
            break;
        }
        case Place::Button:
            text = formatText("button %d: ", n);
            add(overview::cellText(record, Controls::Buttons, n, int(ButtonColumn::Event)));
            text += ", ";
            add(overview::cellText(record, Controls::Buttons, n, int(ButtonColumn::Mode)));
            break;
        }
        return text;
    }

    // Keys of the fields met again: an event's status and first byte, then a button's mode.
    static constexpr int kModeKeys = 256 * 256;

    const std::vector<Word>& m_words;
    const FieldWords m_potWord, m_buttonWord, m_nameWord;
    // 1 + the place in m_fields of the field of each key, 0 until it is met.
    std::vector<std::uint32_t> m_fieldPlace = std::vector<std::uint32_t>(kModeKeys + 256);
    std::deque<FieldWords> m_fields; // stays in place as it grows
};

} // namespace

Query::Query(const QStringList& words) {
    for (const QString& argument : words)
        for (const QString& word :
             argument.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            Word entry;
            entry.text = lowerCase(word.toStdString());
            entry.isNumber = std::all_of(entry.text.begin(), entry.text.end(), isDigit);
            if (entry.isNumber) entry.text = std::string(withoutLeadingZeros(entry.text));
            if (entry.isNumber && entry.text.size() <= 9) {
                int value = 0;
                std::from_chars(entry.text.data(), entry.text.data() + entry.text.size(), value);
                entry.number = value;
            }
            entry.spansFields = entry.text.find_first_of(kFieldSigns) != std::string::npos;
            m_words.push_back(std::move(entry));
        }
}

std::vector<Hit> searchBank(int bank, const BankRecord& record, const Query& query) {
    std::vector<Hit> hits;
    LineSearch(query).searchBank(bank, record, hits);
    return hits;
}

std::optional<FolderSearch> searchFolder(const QString& folder, const Query& query,
                                         QString* error) {
    if (!library_folder::isReadableFolder(folder, error)) return std::nullopt;
    FolderSearch search;
    const auto skip = [&search](int bank, const QString& path) {
        search.skipped.push_back(
            formatText("bank %d skipped: '%s' holds no valid dump", bank, qPrintable(path)));
    };
    LineSearch lines(query);
    for (const auto& [bank, record] : library_folder::readValidBanks(folder, skip))
        lines.searchBank(bank, record, search.hits);
    return search;
}

} // namespace library_search
