#include "settings_file.h"

#include "dump_file.h"

#include <QFile>
#include <QRegularExpression>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString stripQuotes(const QString& value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// A value must stay on its own line.
QByteArray oneLine(const QString& value) {
    QString text = value;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text.toUtf8();
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)), m_bytes(readAll(m_path)) {
    parse();
}

void SettingsFile::parse() {
    m_sections.clear();
    qsizetype pos = m_bytes.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    while (pos < m_bytes.size()) {
        qsizetype newline = m_bytes.indexOf('\n', pos);
        const qsizetype next = newline < 0 ? m_bytes.size() : newline + 1;
        qsizetype end = newline < 0 ? m_bytes.size() : newline;
        if (end > pos && m_bytes[end - 1] == '\r') --end;
        qsizetype start = pos;
        while (start < end && isBlank(m_bytes[start]))
            ++start;
        pos = next;
        if (start == end) continue;

        if (m_bytes[start] == '[') {
            qsizetype close = m_bytes.indexOf(']', start);
            if (close < 0 || close > end) close = end;
            m_sections.append(
                {QString::fromUtf8(m_bytes.mid(start + 1, close - start - 1)).trimmed(), {}, next});
            continue;
        }
        if (m_sections.isEmpty()) // keys before the first section belong to none
            continue;
        Section& section = m_sections.last();
        section.insertAt = next;
        const qsizetype equals = m_bytes.indexOf('=', start);
        if (m_bytes[start] == ';' || equals < 0 || equals >= end) continue;
        const QString key = QString::fromUtf8(m_bytes.mid(start, equals - start)).trimmed();
        if (key.isEmpty()) continue;
        const QString value =
            stripQuotes(QString::fromUtf8(m_bytes.mid(equals + 1, end - equals - 1)).trimmed());
        section.entries.append({key, value, equals + 1, end});
    }
}

const SettingsFile::Section* SettingsFile::findSection(const QString& name) const {
    for (const Section& section : m_sections)
        if (sameName(section.name, name)) return &section;
    return nullptr;
}

const SettingsFile::Entry* SettingsFile::findEntry(const QString& section,
                                                   const QString& key) const {
    const Section* s = findSection(section);
    if (!s) return nullptr;
    for (const Entry& entry : s->entries)
        if (sameName(entry.key, key)) return &entry;
    return nullptr;
}

QStringList SettingsFile::sectionNames() const {
    QStringList names;
    for (const Section& section : m_sections)
        if (!names.contains(section.name, Qt::CaseInsensitive)) names.append(section.name);
    return names;
}

QStringList SettingsFile::keys(const QString& section) const {
    QStringList names;
    if (const Section* s = findSection(section))
        for (const Entry& entry : s->entries)
            if (!names.contains(entry.key, Qt::CaseInsensitive)) names.append(entry.key);
    return names;
}

bool SettingsFile::contains(const QString& section, const QString& key) const {
    return findEntry(section, key) != nullptr;
}

QString SettingsFile::value(const QString& section, const QString& key,
                            const QString& fallback) const {
    const Entry* entry = findEntry(section, key);
    return entry ? entry->value : fallback;
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
    return parseInteger(entry->value).value_or(fallback);
}

bool SettingsFile::boolValue(const QString& section, const QString& key, bool fallback) const {
    return intValue(section, key, fallback ? 1 : 0) != 0;
}

QByteArray SettingsFile::lineEnding() const {
    return m_bytes.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
}

bool SettingsFile::setValue(const QString& section, const QString& key, const QString& value) {
    // Another program may have changed the file since it was read: work on what is there now.
    m_bytes = readAll(m_path);
    parse();

    QByteArray bytes = m_bytes;
    const QByteArray eol = lineEnding();
    if (const Entry* entry = findEntry(section, key)) {
        bytes.replace(entry->valueStart, entry->valueEnd - entry->valueStart, oneLine(value));
    } else if (const Section* s = findSection(section)) {
        QByteArray line = oneLine(key) + '=' + oneLine(value) + eol;
        if (s->insertAt > 0 && bytes[s->insertAt - 1] != '\n')
            line.prepend(eol); // the section ends the file without a final line break
        bytes.insert(s->insertAt, line);
    } else {
        if (!bytes.isEmpty() && !bytes.endsWith('\n')) bytes.append(eol);
        bytes.append('[' + oneLine(section) + ']' + eol + oneLine(key) + '=' + oneLine(value) +
                     eol);
    }
    if (!writeFileAtomically(m_path, bytes)) return false;
    m_bytes = bytes;
    parse();
    return true;
}
