#include "library_state.h"

#include "dump_codec.h"
#include "dump_file.h"
#include "library_folder.h"
#include "sysex_protocol.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

constexpr auto kFormat = "vPultron64 library state";
constexpr int kVersion = 1;
constexpr qsizetype kChecksumLength = 64; // SHA-256 in hex

bool isChecksum(const QString& text) {
    if (text.size() != kChecksumLength) return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
    });
}

std::optional<int> bankOfKey(const QString& key) {
    bool ok = false;
    const int bank = key.toInt(&ok);
    if (!ok || bank < 1 || bank > library_folder::kBankCount) return std::nullopt;
    return bank;
}

} // namespace

QString LibraryState::fileName() {
    return QStringLiteral(".vpultron64-library");
}

QString LibraryState::filePath(const QString& folder) {
    return QDir(folder).filePath(fileName());
}

// Taken over the record as every dump of it reads back: a record from the editor may hold
// note-off statuses, which the controller reads back (and a file gives) as note-ons.
QByteArray LibraryState::checksum(const BankRecord& record) {
    std::array<std::uint8_t, sysex::kDumpSize> dump{};
    buildDump(record, dump);
    const auto scanned = scanDump(dump, {});
    const auto& bytes = scanned ? scanned->record.bytes() : record.bytes();
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex();
}

LibraryState LibraryState::read(const QString& folder) {
    LibraryState state;
    QFile file(filePath(folder));
    if (!file.exists()) return state;
    state.m_source = Source::Corrupt;
    if (!file.open(QIODevice::ReadOnly)) return state;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject()) return state;
    const QJsonObject top = document.object();
    if (top.value(QStringLiteral("format")).toString() != QLatin1String(kFormat) ||
        top.value(QStringLiteral("version")).toInt() != kVersion) {
        state.m_source = Source::Foreign;
        return state;
    }
    const QJsonValue banks = top.value(QStringLiteral("banks"));
    if (!banks.isObject()) return state;
    const QJsonObject entries = banks.toObject();
    for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
        const auto bank = bankOfKey(entry.key());
        const QString checksum = entry.value().toString();
        if (!bank || !isChecksum(checksum)) {
            state.m_checksums = {};
            return state;
        }
        state.m_checksums[*bank - 1] = checksum.toLatin1();
    }
    state.m_source = Source::Read;
    return state;
}

QString LibraryState::unknownReason() const {
    switch (m_source) {
    case Source::NoFile:
        return QStringLiteral("no record of what the controller holds");
    case Source::Corrupt:
        return QStringLiteral("the state file %1 is damaged, so what the controller holds is "
                              "not known")
            .arg(fileName());
    case Source::Foreign:
        return QStringLiteral("the state file %1 was not written by this version of vPultron64, "
                              "so what the controller holds is not known")
            .arg(fileName());
    case Source::Read:
        break;
    }
    return {};
}

bool LibraryState::holds(int bank, const BankRecord& record) const {
    return bankKnown(bank) && m_checksums.at(bank - 1) == checksum(record);
}

void LibraryState::set(int bank, const std::optional<BankRecord>& held) {
    m_checksums.at(bank - 1) = held ? checksum(*held) : QByteArray();
}

void LibraryState::take(const BankReport& report) {
    using Outcome = BankReport::Outcome;
    using Kind = BankOperation::Kind;
    // A report that ended Done carries the bank the controller holds: received, sent or read back.
    if (report.outcome == Outcome::Done) {
        const auto scanned = scanDump(report.dump, {});
        set(report.bank, scanned ? std::optional(scanned->record) : std::nullopt);
        return;
    }
    // Even an upload cancelled before its first acknowledge may have had a block stored.
    const bool uploadCutShort = report.kind == Kind::Upload && report.outcome != Outcome::NotRun;
    const bool readBackDiffers =
        report.kind == Kind::Verify && report.outcome == Outcome::Failed && !report.dump.empty();
    if (uploadCutShort || readBackDiffers) set(report.bank, std::nullopt);
}

bool LibraryState::write(const QString& folder, QString* error) const {
    if (m_source == Source::Foreign) {
        *error = QStringLiteral("the state file %1 was not written by this version of vPultron64; "
                                "it is left as it is")
                     .arg(fileName());
        return false;
    }
    QJsonObject banks;
    for (int bank = 1; bank <= library_folder::kBankCount; ++bank)
        if (bankKnown(bank))
            banks.insert(QString::number(bank), QString::fromLatin1(m_checksums[bank - 1]));
    const QJsonObject top{{QStringLiteral("format"), QLatin1String(kFormat)},
                          {QStringLiteral("version"), kVersion},
                          {QStringLiteral("checksum"),
                           QStringLiteral("SHA-256 of the bank's 2048 bytes as the controller "
                                          "keeps them")},
                          {QStringLiteral("banks"), banks}};
    QString reason;
    if (writeFileAtomically(filePath(folder), QJsonDocument(top).toJson(), &reason)) return true;
    *error = QStringLiteral("cannot write the state file %1: %2").arg(filePath(folder), reason);
    return false;
}

bool updateLibraryState(const QString& folder, const std::function<void(LibraryState&)>& change,
                        QString* error) {
    LibraryState state = LibraryState::read(folder);
    change(state);
    return state.write(folder, error);
}

std::optional<std::vector<int>> changedBanks(const QString& folder, const std::vector<int>& banks,
                                             QString* why) {
    const LibraryState state = LibraryState::read(folder);
    if (!state.known()) {
        *why = state.unknownReason();
        return std::nullopt;
    }
    std::vector<int> changed;
    for (const int bank : banks) {
        const QString path = library_folder::bankFilePath(folder, bank);
        if (!QFileInfo::exists(path)) continue;
        const auto record = library_folder::readBankFile(path);
        if (!record || !state.holds(bank, *record)) changed.push_back(bank);
    }
    return changed;
}
