#include "bank_origin.h"

#include <QFileInfo>
#include <QRegularExpression>

int bank_origin::libraryBankOf(const QString& path) {
    static const QRegularExpression name(QStringLiteral("^bank-(\\d{3})\\.syx$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = name.match(QFileInfo(path).fileName());
    const int bank = match.hasMatch() ? match.captured(1).toInt() : 0;
    return bank >= 1 && bank <= 128 ? bank : 0;
}

BankOrigin BankOrigin::ofFile(const QString& path, Source source) {
    return {source, path, bank_origin::libraryBankOf(path)};
}

BankOrigin BankOrigin::received(int bank) {
    return {Source::Controller, {}, bank};
}

BankOrigin BankOrigin::storedTo(const QString& path) const {
    const int named = bank_origin::libraryBankOf(path);
    return {Source::File, path, named != 0 ? named : bank};
}

BankOrigin BankOrigin::sentTo(int sentBank) const {
    BankOrigin sent = *this;
    sent.bank = sentBank;
    return sent;
}

QString BankOrigin::caption(const QString& builtInCaption) const {
    const QString ofBank = bank != 0 ? QStringLiteral(" (bank %1)").arg(bank) : QString();
    const QString name = QFileInfo(file).fileName();
    switch (source) {
    case Source::StartUpFile:
        return QStringLiteral("Virtual Pultron64 : ") + name + ofBank;
    case Source::File:
        return QStringLiteral("SysexBox : ") + name + ofBank;
    case Source::Controller:
        return bank != 0 ? QStringLiteral("bank %1 from the controller").arg(bank)
                         : QStringLiteral("bank from the controller");
    case Source::BuiltIn:
        break;
    }
    return bank != 0 ? builtInCaption + ofBank : builtInCaption;
}

QString BankOrigin::proposedName(const QString& fallback) const {
    if (!file.isEmpty()) return QFileInfo(file).fileName();
    if (bank != 0) return QStringLiteral("bank-%1.syx").arg(bank, 3, 10, QLatin1Char('0'));
    return fallback;
}
