#include "bank_origin.h"

#include "library_folder.h"

#include <QFileInfo>

BankOrigin BankOrigin::ofFile(const QString& path, Source source) {
    return {source, path, library_folder::bankOfFileName(path)};
}

BankOrigin BankOrigin::received(int bank) {
    return {Source::Controller, {}, bank};
}

BankOrigin BankOrigin::storedTo(const QString& path) const {
    const int named = library_folder::bankOfFileName(path);
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
