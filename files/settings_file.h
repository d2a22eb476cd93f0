// SettingsFile: an INI file read and written by the rules of the Windows profile functions that
// the settings and desk files were made for.
#pragma once

#include "text_encoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// Section and key names match without regard to letter case and the first occurrence wins.
// Sections and keys are listed in file order. Lines starting with ";" are comments. A value
// enclosed in a pair of single or double quotes is read without them. Writing a key changes
// only that key's value and keeps every other byte of the file; it creates the file, the
// section and the key as needed, and a failed write leaves the old file in place.
//
// Files come from Windows editors as often as from this program: UTF-16 with a byte-order mark
// (either byte order), UTF-8 with or without one, and the 8-bit Windows-1252 code page for text
// that is not valid UTF-8 are all read, and a file is written back in the encoding it had, unless
// that encoding cannot hold a character written: the whole file then becomes UTF-8 with a
// byte-order mark.
class SettingsFile {
public:
    // Reads the file now; a missing or unreadable file reads as empty.
    explicit SettingsFile(QString path);

    const QString& path() const { return m_path; }
    TextEncoding encoding() const { return m_encoding; }

    QStringList sectionNames() const;
    // The key names of a section. With `listBytes`, only the names that fit a list of that many
    // bytes, each name with a terminating zero and one more zero ending the list.
    QStringList keys(const QString& section, qsizetype listBytes = -1) const;
    bool contains(const QString& section, const QString& key) const;
    // The value of an existing key, even when empty; `fallback` only when the key is missing.
    QString value(const QString& section, const QString& key, const QString& fallback = {}) const;
    // Decimal, or hexadecimal after "0x", "0X" or "$"; missing or not a number gives `fallback`.
    qint64 intValue(const QString& section, const QString& key, qint64 fallback) const;
    // An integer that is not zero is true.
    bool boolValue(const QString& section, const QString& key, bool fallback) const;

    // Reads the file afresh, sets the one key and writes the file back. Returns false when the
    // file cannot be written; the file on disk is then unchanged.
    bool setValue(const QString& section, const QString& key, const QString& value);

    struct Write {
        QString section, key, value;
    };
    class Writes;
    // The same bytes as setValue() called for each write in turn, made in one pass over the
    // file and written once: a dump of thousands of keys costs as much as the text it writes.
    bool setValues(const Writes& writes);
    bool setValues(const QList<Write>& writes);
    // SettingsFile(path).setValues(writes), with the file read once rather than twice.
    static bool writeValues(QString path, const Writes& writes);

    // The encoding the file had before the last write, when that write had to convert it.
    std::optional<TextEncoding> convertedFrom() const { return m_convertedFrom; }

    // The integer rule on its own, for texts that come from elsewhere.
    static std::optional<qint64> parseInteger(const QString& text);

private:
    static constexpr char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

    // A section or key name within the text that hashes and compares without regard to letter
    // case. ASCII names, nearly all of them, are folded without a table.
    struct Name {
        QByteArrayView text;
        // Up to their first character outside ASCII, names compare byte by byte.
        bool operator==(const Name& other) const {
            const qsizetype common = std::min(text.size(), other.text.size());
            for (qsizetype i = 0; i < common; ++i) {
                const char a = text[i];
                const char b = other.text[i];
                if ((uchar(a) | uchar(b)) >= 0x80)
                    return equalBeyondAscii(text.sliced(i), other.text.sliced(i));
                if (foldAscii(a) != foldAscii(b)) return false;
            }
            return text.size() == other.text.size();
        }
        static bool equalBeyondAscii(QByteArrayView a, QByteArrayView b);
        struct Hash {
            size_t operator()(const Name& name) const;
        };
    };
    // Names to the first place given for them.
    class NameIndex {
    public:
        // Notes the place of a name not yet known; false when the name was known.
        bool add(QByteArrayView name, qsizetype place) {
            return m_places.try_emplace(Name{name}, place).second;
        }
        // The place of the name; -1 when it is not known.
        qsizetype find(QByteArrayView name) const {
            const auto found = m_places.find(Name{name});
            return found == m_places.end() ? -1 : found->second;
        }
        void clear() { m_places.clear(); }
        void reserve(std::size_t names) { m_places.reserve(names); }

    private:
        std::unordered_map<Name, qsizetype, Name::Hash> m_places;
    };

    struct Entry {
        qsizetype keyStart = 0; // byte offsets of the key name and the raw value in the text
        qsizetype keyEnd = 0;
        qsizetype valueStart = 0;
        qsizetype valueEnd = 0;
        bool bare = false;  // a key name without "=": no value to read, but one to replace
        bool ascii = false; // the key name is ASCII: only names of its length can match it
    };
    struct Section {
        QByteArrayView name;
        qsizetype entriesBegin = 0; // the section's entries in m_entries
        qsizetype entriesEnd = 0;
        qsizetype insertAt = 0; // just after the section's last non-blank line
        bool listed = false;    // the first section of its name
        NameIndex firstValued;  // key name -> first entry with a value
        NameIndex firstBare;    // key name -> first bare entry
    };
    // Sections of a few keys, nearly all of them, are searched in place and keep no index.
    static constexpr qsizetype kIndexFrom = 16;

    // The text of a batch of writes, in the order setValue() would make it.
    class Edits;

    struct Unread {};
    SettingsFile(QString path, Unread) : m_path(std::move(path)) {}
    void read();
    // Parses the text when it changed since the last parse; a batch written and dropped, as the
    // desk dump does, is never parsed again.
    void parse() const;
    void addEntry(Section& section, const Entry& entry) const;
    QByteArrayView keyOf(const Entry& entry) const;
    bool hasName(const Entry& entry, QByteArrayView key, bool asciiKey) const;
    // The first entry of the name, valued or bare, in m_entries; -1 when there is none.
    qsizetype first(const Section& section, QByteArrayView key, bool bare) const;
    qsizetype firstOfAnyKind(const Section& section, QByteArrayView key) const;
    const Section* findSection(QByteArrayView name) const;
    const Entry* findEntry(const QString& section, const QString& key) const;
    QString valueOf(const Entry& entry) const;
    std::string lineEnding() const;

    QString m_path;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::optional<TextEncoding> m_convertedFrom;
    QByteArray m_text; // the file's text as UTF-8, without a byte-order mark
    mutable bool m_parsed = false;
    mutable std::vector<Section> m_sections;
    mutable std::vector<Entry> m_entries;
    mutable bool m_crlf = false;      // lines end in CR LF
    mutable NameIndex m_sectionIndex; // name -> first section of that name
};

// A batch of writes for SettingsFile::setValues(), its names and values kept as UTF-8 in one
// buffer: a batch of thousands of keys makes no allocation per key.
class SettingsFile::Writes {
public:
    // The section of the keys added after it; a batch starts with one.
    void beginSection(QStringView name);
    // A section named by a prefix and a number, as "Knob_12".
    void beginSection(QStringView prefix, qint64 number);
    // Key names come as UTF-8, most often a literal.
    void add(QByteArrayView key, QStringView value);
    void add(QByteArrayView key, qint64 value);
    void reserve(qsizetype sections, qsizetype writes);

    struct View {
        QByteArrayView section, key, value;
        qsizetype sectionNumber; // of the beginSection() calls, from 0
    };
    qsizetype size() const { return qsizetype(m_writes.size()); }
    View at(qsizetype i) const;

private:
    struct Span {
        qsizetype start = 0, size = 0;
    };
    struct Entry {
        qsizetype section;
        Span key, value;
    };
    Span append(QStringView text);
    Span append(QByteArrayView utf8);
    Span append(qint64 number);
    QByteArrayView view(Span span) const {
        return QByteArrayView(m_text.data() + span.start, span.size);
    }

    std::string m_text;
    std::vector<Span> m_sections;
    std::vector<Entry> m_writes;
};
