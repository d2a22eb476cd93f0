#include "settings_file.h"

#include "dump_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <map>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QString stripQuotes(const QString& value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// Names compare without regard to letter case; names of another length never match.
bool sameName(const QString& a, const QString& b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// Appends a name or value to `out` in UTF-8; it must stay on its own line.
void appendOneLine(QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + 3 * text.size());
    QStringEncoder utf8(QStringConverter::Utf8);
    const char* end = utf8.appendToBuffer(out.data() + start, text);
    out.resize(end - out.constData());
    std::replace(out.begin() + start, out.end(), '\r', ' ');
    std::replace(out.begin() + start, out.end(), '\n', ' ');
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace

// Hashes the case-folded text piece by piece, without making a folded copy.
size_t SettingsFile::Name::hash(size_t seed) const {
    std::array<char16_t, 64> folded;
    size_t result = seed;
    for (qsizetype i = 0; i < text.size(); i += qsizetype(folded.size())) {
        const qsizetype n = std::min(qsizetype(folded.size()), text.size() - i);
        for (qsizetype j = 0; j < n; ++j) {
            const char16_t c = text[i + j].unicode();
            // Names are nearly always ASCII, whose folding needs no table.
            folded[std::size_t(j)] =
                c < 0x80 ? (c >= u'A' && c <= u'Z' ? c + 32 : c) : QChar::toCaseFolded(c);
        }
        result = qHashBits(folded.data(), std::size_t(n) * sizeof(char16_t), result);
    }
    return result;
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

void SettingsFile::parse() const {
    if (m_parsed) return;
    m_parsed = true;
    m_sections.clear();
    m_sectionIndex.clear();
    qsizetype pos = 0;
    while (pos < m_text.size()) {
        qsizetype newline = m_text.indexOf('\n', pos);
        const qsizetype next = newline < 0 ? m_text.size() : newline + 1;
        qsizetype end = newline < 0 ? m_text.size() : newline;
        if (end > pos && m_text[end - 1] == '\r') --end;
        qsizetype start = pos;
        while (start < end && isBlank(m_text[start]))
            ++start;
        pos = next;
        if (start == end) continue;

        if (m_text[start] == '[') {
            qsizetype close = m_text.indexOf(']', start);
            if (close < 0 || close > end) close = end;
            Section section{
                QString::fromUtf8(QByteArrayView(m_text).sliced(start + 1, close - start - 1))
                    .trimmed(),
                {},
                next,
                {},
                {},
                false};
            section.listed = !m_sectionIndex.contains(Name{section.name});
            if (section.listed) m_sectionIndex.insert(Name{section.name}, m_sections.size());
            m_sections.append(std::move(section));
            continue;
        }
        if (m_sections.isEmpty()) // keys before the first section belong to none
            continue;
        Section& section = m_sections.last();
        section.insertAt = next;
        if (m_text[start] == ';') continue;
        const qsizetype equals = m_text.indexOf('=', start);
        if (equals < 0 || equals >= end) {
            qsizetype keyEnd = end;
            while (keyEnd > start && isBlank(m_text[keyEnd - 1]))
                --keyEnd;
            const QString key =
                QString::fromUtf8(QByteArrayView(m_text).sliced(start, keyEnd - start));
            addEntry(section, {key, keyEnd, keyEnd, true, false});
            continue;
        }
        const QString key =
            QString::fromUtf8(QByteArrayView(m_text).sliced(start, equals - start)).trimmed();
        if (key.isEmpty()) continue;
        addEntry(section, {key, equals + 1, end, false, false});
    }
}

qsizetype SettingsFile::Section::first(const QString& key, bool bare) const {
    if (entries.size() >= kIndexFrom) return (bare ? firstBare : firstValued).value(Name{key}, -1);
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries[i].bare == bare && sameName(entries[i].key, key)) return i;
    return -1;
}

qsizetype SettingsFile::Section::firstOfAnyKind(const QString& key) const {
    if (entries.size() < kIndexFrom) {
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (sameName(entries[i].key, key)) return i;
        return -1;
    }
    const qsizetype valued = first(key, false);
    const qsizetype bare = first(key, true);
    return valued < 0 || (bare >= 0 && bare < valued) ? bare : valued;
}

void SettingsFile::addEntry(Section& section, Entry entry) {
    const bool firstOfName = section.first(entry.key, entry.bare) < 0;
    entry.listed = firstOfName && !entry.bare;
    section.entries.append(std::move(entry));
    const qsizetype size = section.entries.size();
    if (size < kIndexFrom) return;
    // From this size on, names are found through the index.
    for (qsizetype i = size == kIndexFrom ? 0 : size - 1; i < size; ++i) {
        const Entry& e = section.entries[i];
        QHash<Name, qsizetype>& first = e.bare ? section.firstBare : section.firstValued;
        if (size > kIndexFrom ? firstOfName : !first.contains(Name{e.key}))
            first.insert(Name{e.key}, i);
    }
}

const SettingsFile::Section* SettingsFile::findSection(const QString& name) const {
    parse();
    const auto found = m_sectionIndex.constFind(Name{name});
    return found == m_sectionIndex.cend() ? nullptr : &m_sections[*found];
}

const SettingsFile::Entry* SettingsFile::findEntry(const QString& section,
                                                   const QString& key) const {
    const Section* s = findSection(section);
    if (!s) return nullptr;
    const qsizetype found = s->first(key, false);
    return found < 0 ? nullptr : &s->entries[found];
}

QStringList SettingsFile::sectionNames() const {
    parse();
    QStringList names;
    for (const Section& section : m_sections)
        if (section.listed) names.append(section.name);
    return names;
}

QStringList SettingsFile::keys(const QString& section, qsizetype listBytes) const {
    QStringList names;
    const Section* s = findSection(section);
    if (!s) return names;
    qsizetype used = 1; // the zero that ends the list
    for (const Entry& entry : s->entries) {
        if (!entry.listed) continue;
        used += entry.key.toUtf8().size() + 1;
        if (listBytes >= 0 && used > listBytes) break;
        names.append(entry.key);
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

// Values are taken from the text only when asked for: most keys of a long preset section are
// never read.
QString SettingsFile::valueOf(const Entry& entry) const {
    return stripQuotes(QString::fromUtf8(QByteArrayView(m_text).sliced(
                                             entry.valueStart, entry.valueEnd - entry.valueStart))
                           .trimmed());
}

std::optional<qint64> SettingsFile::parseInteger(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^([+-]?)(?:(?:0[xX]|\\$)([0-9A-Fa-f]{1,15})|([0-9]{1,18}))$"));
    const auto match = pattern.match(text.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    const bool hex = match.capturedLength(2) > 0;
    const qint64 magnitude =
        hex ? match.captured(2).toLongLong(nullptr, 16) : match.captured(3).toLongLong(nullptr, 10);
    return match.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
}

qint64 SettingsFile::intValue(const QString& section, const QString& key, qint64 fallback) const {
    const Entry* entry = findEntry(section, key);
    if (!entry) return fallback;
    return parseInteger(valueOf(*entry)).value_or(fallback);
}

bool SettingsFile::boolValue(const QString& section, const QString& key, bool fallback) const {
    return intValue(section, key, fallback ? 1 : 0) != 0;
}

QByteArray SettingsFile::lineEnding() const {
    return m_text.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
}

// Collects a batch of writes against the text as read: replaced values by their place in the
// text, new keys by the place where they join their section, new sections in the order they were
// first written. A key written twice keeps its first place and its last value.
class SettingsFile::Edits {
public:
    explicit Edits(const SettingsFile& file) : m_file(file) {}

    void add(const Write& write) {
        const Target target = targetOf(write.section);
        if (!target.section) {
            m_newSections[target.created].set(write.key, write.value);
            return;
        }
        // The first line of the key, with a value or bare, is the one that writing replaces.
        const qsizetype line = target.section->firstOfAnyKind(write.key);
        if (line < 0) {
            m_joining[target.section->insertAt].set(write.key, write.value);
            return;
        }
        const Entry& entry = target.section->entries[line];
        m_replaced.append({entry.valueStart, entry.valueEnd, entry.bare, write.value});
    }

    QByteArray apply(const QByteArray& eol) {
        // In the order of the text; of a key written twice, the last value.
        std::stable_sort(
            m_replaced.begin(), m_replaced.end(),
            [](const Replacement& a, const Replacement& b) { return a.start < b.start; });
        const QByteArray& text = m_file.m_text;
        QByteArray out;
        out.reserve(text.size());
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
        if (!m_newSections.isEmpty() && !out.isEmpty() && !out.endsWith('\n')) out += eol;
        for (const Keys& section : m_newSections) {
            out += '[';
            appendOneLine(out, section.section);
            out += ']' + eol;
            section.appendTo(out, eol);
        }
        return out;
    }

private:
    struct Keys {
        QString section; // a new section's name as first written
        QList<QPair<QString, QString>> keys;
        QHash<Name, qsizetype> index;

        void set(const QString& key, const QString& value) {
            if (const qsizetype found = find(key); found >= 0) {
                keys[found].second = value;
                return;
            }
            keys.append({key, value});
            // Like sections, a batch's keys for one section are indexed only when they are many.
            for (qsizetype i = keys.size() == kIndexFrom ? 0 : keys.size() - 1;
                 keys.size() >= kIndexFrom && i < keys.size(); ++i)
                index.insert(Name{keys[i].first}, i);
        }
        qsizetype find(const QString& key) const {
            if (keys.size() >= kIndexFrom) return index.value(Name{key}, -1);
            for (qsizetype i = 0; i < keys.size(); ++i)
                if (keys[i].first.compare(key, Qt::CaseInsensitive) == 0) return i;
            return -1;
        }
        void appendTo(QByteArray& out, const QByteArray& eol) const {
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
    Target targetOf(const QString& name) {
        if (m_lastName.isNull() || name != m_lastName) {
            m_lastName = name;
            m_last = {m_file.findSection(name), -1};
            if (!m_last.section) m_last.created = newSection(name);
        }
        return m_last;
    }

    qsizetype newSection(const QString& name) {
        const auto found = m_newSectionIndex.constFind(Name{name});
        if (found != m_newSectionIndex.cend()) return *found;
        m_newSectionIndex.insert(Name{name}, m_newSections.size());
        m_newSections.append({name, {}, {}});
        return m_newSections.size() - 1;
    }

    const SettingsFile& m_file;
    struct Replacement {
        qsizetype start, end; // the old value's place in the text
        bool bare;
        QString value;
    };
    QList<Replacement> m_replaced;
    std::map<qsizetype, Keys> m_joining; // insert position -> the keys joining that section
    QList<Keys> m_newSections;
    QHash<Name, qsizetype> m_newSectionIndex;
    QString m_lastName;
    Target m_last;
};

bool SettingsFile::setValue(const QString& section, const QString& key, const QString& value) {
    return setValues({{section, key, value}});
}

bool SettingsFile::setValues(const QList<Write>& writes) {
    // Another program may have changed the file since it was read: work on what is there now.
    read();
    m_convertedFrom.reset();
    Edits edits(*this);
    for (const Write& write : writes)
        edits.add(write);
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
