#include "settings_file.h"

#include "dump_file.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <map>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// White space within ASCII, without the locale lookup of std::isspace().
bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isAscii(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; });
}

QString stripQuotes(const QString& value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// The place of text[start, end) without its surrounding white space, as QString::trimmed()
// takes it: that also removes the few white space characters outside ASCII.
std::pair<qsizetype, qsizetype> trimmed(const QByteArray& text, qsizetype start, qsizetype end) {
    while (start < end && isSpace(text[start]))
        ++start;
    while (end > start && isSpace(text[end - 1]))
        --end;
    if (start == end || (uchar(text[start]) < 0x80 && uchar(text[end - 1]) < 0x80))
        return {start, end};
    const QString name = QString::fromUtf8(QByteArrayView(text).sliced(start, end - start));
    const QString kept = name.trimmed();
    const qsizetype before = kept.isEmpty() ? 0 : name.indexOf(kept);
    start += QStringView(name).left(before).toUtf8().size();
    return {start, start + kept.toUtf8().size()};
}

qsizetype indexIn(const QByteArray& text, char c, qsizetype start, qsizetype end) {
    const void* found = std::memchr(text.constData() + start, c, std::size_t(end - start));
    return found ? static_cast<const char*>(found) - text.constData() : -1;
}

// Appends a name or value; it must stay on its own line.
void appendOneLine(std::string& out, QByteArrayView text) {
    const std::size_t start = out.size();
    out.append(text.data(), std::size_t(text.size()));
    std::replace_if(
        out.begin() + std::ptrdiff_t(start), out.end(),
        [](char c) { return c == '\r' || c == '\n'; }, ' ');
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace

bool SettingsFile::Name::equalBeyondAscii(QByteArrayView a, QByteArrayView b) {
    return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}

// FNV-1a over the case-folded UTF-16 code units, so that names equal but for case hash alike.
size_t SettingsFile::Name::Hash::operator()(const Name& name) const {
    size_t hash = 14695981039346656037ull;
    auto mix = [&hash](char16_t unit) { hash = (hash ^ unit) * 1099511628211ull; };
    if (isAscii(name.text)) {
        for (const char c : name.text)
            mix(char16_t(foldAscii(c)));
    } else {
        for (const QChar c : QString::fromUtf8(name.text))
            mix(QChar::toCaseFolded(c.unicode()));
    }
    return hash;
}

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {
    read();
}

void SettingsFile::read() {
    DecodedText decoded = decodeText(readAll(m_path));
    m_text = std::move(decoded.utf8);
    m_encoding = decoded.encoding;
    m_parsed = false;
}

// One pass over the text notes where every section and key line is; names and values are taken
// from the text only when asked for.
void SettingsFile::parse() const {
    if (m_parsed) return;
    m_parsed = true;
    m_sections.clear();
    m_sections.reserve(std::size_t(m_text.size() / 64)); // about the shortest desk section
    m_entries.clear();
    m_entries.reserve(std::size_t(m_text.size() / 10)); // key lines are rarely shorter
    m_sectionIndex.clear();
    m_sectionIndex.reserve(m_sections.capacity());
    m_crlf = false;
    qsizetype pos = 0;
    while (pos < m_text.size()) {
        const qsizetype newline = indexIn(m_text, '\n', pos, m_text.size());
        const qsizetype next = newline < 0 ? m_text.size() : newline + 1;
        qsizetype end = newline < 0 ? m_text.size() : newline;
        if (end > pos && m_text[end - 1] == '\r') {
            --end;
            m_crlf = m_crlf || newline >= 0;
        }
        qsizetype start = pos;
        while (start < end && isBlank(m_text[start]))
            ++start;
        pos = next;
        if (start == end) continue;

        if (m_text[start] == '[') {
            qsizetype close = indexIn(m_text, ']', start, end);
            if (close < 0) close = end;
            const auto [nameStart, nameEnd] = trimmed(m_text, start + 1, close);
            Section section;
            section.name = QByteArrayView(m_text).sliced(nameStart, nameEnd - nameStart);
            section.entriesBegin = section.entriesEnd = m_entries.size();
            section.insertAt = next;
            section.listed = m_sectionIndex.add(section.name, m_sections.size());
            m_sections.push_back(std::move(section));
            continue;
        }
        if (m_sections.empty()) // keys before the first section belong to none
            continue;
        Section& section = m_sections.back();
        section.insertAt = next;
        if (m_text[start] == ';') continue;
        const qsizetype equals = indexIn(m_text, '=', start, end);
        if (equals < 0) {
            qsizetype keyEnd = end;
            while (keyEnd > start && isBlank(m_text[keyEnd - 1]))
                --keyEnd;
            addEntry(section, {start, keyEnd, keyEnd, keyEnd, true, false});
            continue;
        }
        const auto [keyStart, keyEnd] = trimmed(m_text, start, equals);
        if (keyStart == keyEnd) continue;
        addEntry(section, {keyStart, keyEnd, equals + 1, end, false, false});
    }
}

QByteArrayView SettingsFile::keyOf(const Entry& entry) const {
    return QByteArrayView(m_text).sliced(entry.keyStart, entry.keyEnd - entry.keyStart);
}

inline bool SettingsFile::hasName(const Entry& entry, QByteArrayView key, bool asciiKey) const {
    if (asciiKey && entry.ascii && entry.keyEnd - entry.keyStart != key.size()) return false;
    return Name{keyOf(entry)} == Name{key};
}

qsizetype SettingsFile::first(const Section& section, QByteArrayView key, bool bare) const {
    if (section.entriesEnd - section.entriesBegin >= kIndexFrom)
        return (bare ? section.firstBare : section.firstValued).find(key);
    const bool ascii = isAscii(key);
    for (qsizetype i = section.entriesBegin; i < section.entriesEnd; ++i)
        if (m_entries[i].bare == bare && hasName(m_entries[i], key, ascii)) return i;
    return -1;
}

qsizetype SettingsFile::firstOfAnyKind(const Section& section, QByteArrayView key) const {
    if (section.entriesEnd - section.entriesBegin < kIndexFrom) {
        const bool ascii = isAscii(key);
        for (qsizetype i = section.entriesBegin; i < section.entriesEnd; ++i)
            if (hasName(m_entries[i], key, ascii)) return i;
        return -1;
    }
    const qsizetype valued = first(section, key, false);
    const qsizetype bare = first(section, key, true);
    return valued < 0 || (bare >= 0 && bare < valued) ? bare : valued;
}

void SettingsFile::addEntry(Section& section, const Entry& entry) const {
    m_entries.push_back(entry);
    m_entries.back().ascii = isAscii(keyOf(entry));
    const qsizetype size = ++section.entriesEnd - section.entriesBegin;
    if (size < kIndexFrom) return;
    // From this size on, names are found through the index.
    for (qsizetype i = size == kIndexFrom ? section.entriesBegin : section.entriesEnd - 1;
         i < section.entriesEnd; ++i) {
        const Entry& e = m_entries[i];
        (e.bare ? section.firstBare : section.firstValued).add(keyOf(e), i);
    }
}

const SettingsFile::Section* SettingsFile::findSection(QByteArrayView name) const {
    parse();
    const qsizetype found = m_sectionIndex.find(name);
    return found < 0 ? nullptr : &m_sections[found];
}

const SettingsFile::Entry* SettingsFile::findEntry(const QString& section,
                                                   const QString& key) const {
    const Section* s = findSection(section.toUtf8());
    if (!s) return nullptr;
    const qsizetype found = first(*s, key.toUtf8(), false);
    return found < 0 ? nullptr : &m_entries[found];
}

QStringList SettingsFile::sectionNames() const {
    parse();
    QStringList names;
    for (const Section& section : m_sections)
        if (section.listed) names.append(QString::fromUtf8(section.name));
    return names;
}

QStringList SettingsFile::keys(const QString& section, qsizetype listBytes) const {
    QStringList names;
    const Section* s = findSection(section.toUtf8());
    if (!s) return names;
    qsizetype used = 1; // the zero that ends the list
    for (qsizetype i = s->entriesBegin; i < s->entriesEnd; ++i) {
        const QByteArrayView key = keyOf(m_entries[i]);
        // Of the keys of one name, the first with a value is listed.
        if (m_entries[i].bare || first(*s, key, false) != i) continue;
        used += key.size() + 1;
        if (listBytes >= 0 && used > listBytes) break;
        names.append(QString::fromUtf8(key));
    }
    return names;
}

bool SettingsFile::contains(const QString& section, const QString& key) const {
    return findEntry(section, key) != nullptr;
}

QString SettingsFile::value(const QString& section, const QString& key,
                            const QString& fallback) const {
    const Entry* entry = findEntry(section, key);
    return entry ? valueOf(*entry) : fallback;
}

QString SettingsFile::valueOf(const Entry& entry) const {
    return stripQuotes(QString::fromUtf8(QByteArrayView(m_text).sliced(
                                             entry.valueStart, entry.valueEnd - entry.valueStart))
                           .trimmed());
}

// A sign, then decimal digits (at most 18) or hexadecimal ones after 0x or $ (at most 15): no
// value can overflow.
std::optional<qint64> SettingsFile::parseInteger(const QString& text) {
    QStringView rest = QStringView(text).trimmed();
    const bool negative = rest.startsWith(u'-');
    if (negative || rest.startsWith(u'+')) rest = rest.sliced(1);
    int base = 10;
    qsizetype maxDigits = 18;
    if (rest.startsWith(u"0x", Qt::CaseInsensitive) || rest.startsWith(u'$')) {
        rest = rest.sliced(rest.startsWith(u'$') ? 1 : 2);
        base = 16;
        maxDigits = 15;
    }
    const auto isDigit = [base](QChar c) {
        const bool decimal = c >= u'0' && c <= u'9';
        return base == 10 ? decimal
                          : decimal || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    if (rest.isEmpty() || rest.size() > maxDigits || !std::all_of(rest.begin(), rest.end(), isDigit))
        return std::nullopt;
    const qint64 magnitude = rest.toLongLong(nullptr, base);
    return negative ? -magnitude : magnitude;
}

qint64 SettingsFile::intValue(const QString& section, const QString& key, qint64 fallback) const {
    const Entry* entry = findEntry(section, key);
    if (!entry) return fallback;
    return parseInteger(valueOf(*entry)).value_or(fallback);
}

bool SettingsFile::boolValue(const QString& section, const QString& key, bool fallback) const {
    return intValue(section, key, fallback ? 1 : 0) != 0;
}

std::string SettingsFile::lineEnding() const {
    parse();
    return m_crlf ? "\r\n" : "\n";
}

// Collects a batch of writes against the text as read: replaced values by their place in the
// text, new keys by the place where they join their section, new sections in the order they were
// first written. A key written twice keeps its first place and its last value.
class SettingsFile::Edits {
public:
    Edits(const SettingsFile& file, qsizetype writes) : m_file(file) {
        m_replaced.reserve(std::size_t(writes));
    }

    void add(const Writes::View& write) {
        const Target target = targetOf(write);
        if (!target.section) {
            m_newSections[target.created].set(write.key, write.value);
            return;
        }
        // The first line of the key, with a value or bare, is the one that writing replaces.
        const qsizetype line = m_file.firstOfAnyKind(*target.section, write.key);
        if (line < 0) {
            m_joining[target.section->insertAt].set(write.key, write.value);
            return;
        }
        const Entry& entry = m_file.m_entries[line];
        m_replaced.push_back({entry.valueStart, entry.valueEnd, entry.bare, write.value});
    }

    QByteArray apply(const std::string& eol) {
        // In the order of the text; of a key written twice, the last value.
        auto byStart = [](const Replacement& a, const Replacement& b) { return a.start < b.start; };
        if (!std::is_sorted(m_replaced.cbegin(), m_replaced.cend(), byStart))
            std::stable_sort(m_replaced.begin(), m_replaced.end(), byStart);
        const QByteArray& text = m_file.m_text;
        std::string out; // appends to a QByteArray cost several times more
        out.reserve(std::size_t(text.size() + text.size() / 8));
        qsizetype pos = 0;
        auto copyTo = [&](qsizetype end) {
            out.append(text.constData() + pos, end - pos);
            pos = end;
        };
        auto replaced = m_replaced.cbegin();
        auto joining = m_joining.cbegin();
        while (replaced != m_replaced.cend() || joining != m_joining.cend()) {
            // A value replaced at the very end of the file comes before the keys that join there.
            if (joining == m_joining.cend() ||
                (replaced != m_replaced.cend() && replaced->start <= joining->first)) {
                while (replaced + 1 != m_replaced.cend() &&
                       (replaced + 1)->start == replaced->start)
                    ++replaced;
                copyTo(replaced->start);
                // A bare key name takes the "=" with its value, as the profile functions do.
                if (replaced->bare) out += '=';
                appendOneLine(out, replaced->value);
                pos = replaced->end;
                ++replaced;
            } else {
                copyTo(joining->first);
                if (pos > 0 && text[pos - 1] != '\n')
                    out += eol; // the section ends the file without a final line break
                joining->second.appendTo(out, eol);
                ++joining;
            }
        }
        copyTo(text.size());
        if (!m_newSections.isEmpty() && !out.empty() && out.back() != '\n') out += eol;
        for (const Keys& section : m_newSections) {
            out += '[';
            appendOneLine(out, section.section);
            out += ']';
            out += eol;
            section.appendTo(out, eol);
        }
        return QByteArray::fromStdString(out);
    }

private:
    struct Keys {
        QByteArrayView section; // a new section's name as first written
        QList<std::pair<QByteArrayView, QByteArrayView>> keys;
        NameIndex index;

        void set(QByteArrayView key, QByteArrayView value) {
            if (const qsizetype found = find(key); found >= 0) {
                keys[found].second = value;
                return;
            }
            keys.append({key, value});
            // Like sections, a batch's keys for one section are indexed only when they are many.
            for (qsizetype i = keys.size() == kIndexFrom ? 0 : keys.size() - 1;
                 keys.size() >= kIndexFrom && i < keys.size(); ++i)
                index.add(keys[i].first, i);
        }
        qsizetype find(QByteArrayView key) const {
            if (keys.size() >= kIndexFrom) return index.find(key);
            for (qsizetype i = 0; i < keys.size(); ++i)
                if (Name{keys[i].first} == Name{key}) return i;
            return -1;
        }
        void appendTo(std::string& out, const std::string& eol) const {
            for (const auto& [key, value] : keys) {
                appendOneLine(out, key);
                out += '=';
                appendOneLine(out, value);
                out += eol;
            }
        }
    };

    // A section of the file, or else the index of a new one.
    struct Target {
        const Section* section = nullptr;
        qsizetype created = -1;
    };

    // Writes come section by section: the last section's lookup serves all its keys.
    Target targetOf(const Writes::View& write) {
        if (write.sectionNumber != m_lastNumber) {
            m_lastNumber = write.sectionNumber;
            m_last = {m_file.findSection(write.section), -1};
            if (!m_last.section) m_last.created = newSection(write.section);
        }
        return m_last;
    }

    qsizetype newSection(QByteArrayView name) {
        if (!m_newSectionIndex.add(name, m_newSections.size())) return m_newSectionIndex.find(name);
        m_newSections.append({name, {}, {}});
        m_newSections.back().keys.reserve(kIndexFrom); // a desk control has a dozen keys at most
        return m_newSections.size() - 1;
    }

    const SettingsFile& m_file;
    struct Replacement {
        qsizetype start, end; // the old value's place in the text
        bool bare;
        QByteArrayView value;
    };
    std::vector<Replacement> m_replaced;
    std::map<qsizetype, Keys> m_joining; // insert position -> the keys joining that section
    QList<Keys> m_newSections;
    NameIndex m_newSectionIndex;
    qsizetype m_lastNumber = -1;
    Target m_last;
};

bool SettingsFile::setValue(const QString& section, const QString& key, const QString& value) {
    return setValues({{section, key, value}});
}

bool SettingsFile::setValues(const QList<Write>& writes) {
    Writes batch;
    for (const Write& write : writes) {
        batch.beginSection(write.section);
        batch.add(write.key.toUtf8(), write.value);
    }
    return setValues(batch);
}

bool SettingsFile::writeValues(QString path, const Writes& writes) {
    return SettingsFile(std::move(path), Unread{}).setValues(writes);
}

bool SettingsFile::setValues(const Writes& writes) {
    // Another program may have changed the file since it was read: work on what is there now.
    read();
    m_convertedFrom.reset();
    Edits edits(*this, writes.size());
    for (qsizetype i = 0; i < writes.size(); ++i)
        edits.add(writes.at(i));
    QByteArray text = edits.apply(lineEnding());

    // Rather than lose a character, the file gives up the encoding it had.
    TextEncoding encoding = m_encoding;
    std::optional<QByteArray> bytes = encodeText(text, encoding);
    if (!bytes) {
        encoding = TextEncoding::Utf8WithBom;
        bytes = encodeText(text, encoding);
    }
    if (!writeFileAtomically(m_path, *bytes, nullptr, WriteFallback::InPlace)) return false;
    if (encoding != m_encoding) m_convertedFrom = m_encoding;
    m_encoding = encoding;
    m_text = std::move(text);
    m_parsed = false;
    return true;
}

void SettingsFile::Writes::beginSection(QStringView name) {
    m_sections.push_back(append(name));
}

void SettingsFile::Writes::add(QByteArrayView key, QStringView value) {
    Q_ASSERT(!m_sections.empty());
    const Span name = append(key);
    m_writes.push_back({qsizetype(m_sections.size()) - 1, name, append(value)});
}

void SettingsFile::Writes::beginSection(QStringView prefix, qint64 number) {
    const Span name = append(prefix);
    m_sections.push_back({name.start, name.size + append(number).size});
}

void SettingsFile::Writes::add(QByteArrayView key, qint64 value) {
    Q_ASSERT(!m_sections.empty());
    const Span name = append(key);
    m_writes.push_back({qsizetype(m_sections.size()) - 1, name, append(value)});
}

SettingsFile::Writes::Span SettingsFile::Writes::append(qint64 number) {
    std::array<char, 24> digits;
    const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
    return append(QByteArrayView(digits.data(), end));
}

SettingsFile::Writes::Span SettingsFile::Writes::append(QByteArrayView utf8) {
    const qsizetype start = qsizetype(m_text.size());
    m_text.append(utf8.data(), std::size_t(utf8.size()));
    return {start, utf8.size()};
}

void SettingsFile::Writes::reserve(qsizetype sections, qsizetype writes) {
    m_sections.reserve(std::size_t(sections));
    m_writes.reserve(std::size_t(writes));
    m_text.reserve(std::size_t(writes) * 16); // a short key and value
}

SettingsFile::Writes::View SettingsFile::Writes::at(qsizetype i) const {
    const Entry& write = m_writes[std::size_t(i)];
    return {view(m_sections[std::size_t(write.section)]), view(write.key), view(write.value),
            write.section};
}

// ASCII, nearly every name and value, is copied as it is.
SettingsFile::Writes::Span SettingsFile::Writes::append(QStringView text) {
    const std::size_t start = m_text.size();
    m_text.resize(start + std::size_t(text.size()));
    char* out = m_text.data() + start;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            m_text.resize(start);
            m_text += text.toUtf8().toStdString();
            break;
        }
        *out++ = char(c.unicode());
    }
    return {qsizetype(start), qsizetype(m_text.size() - start)};
}
