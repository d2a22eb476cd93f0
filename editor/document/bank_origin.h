// BankOrigin: where the bank in the editor came from: the .syx file it was opened from or last
// stored to, and the controller bank it belongs to (a library file bank-NNN.syx, a bank received
// by a request for bank N, a bank sent to bank N). Store, the title, the bank sheet and Send take
// it from here; an undo step that loads a bank brings the origin before it back. No widgets.
#pragma once

#include <QString>

struct BankOrigin {
    enum class Source { BuiltIn, StartUpFile, File, Controller };

    Source source = Source::BuiltIn;
    QString file; // empty unless the bank is a file's
    int bank = 0; // 1..128; 0 when unknown

    static BankOrigin ofFile(const QString& path, Source source = Source::File);
    static BankOrigin received(int bank);
    // The bank written to `path`: it is that file's now, and a library file's bank if named so.
    BankOrigin storedTo(const QString& path) const;
    // The bank sent whole to `bank` of the controller.
    BankOrigin sentTo(int bank) const;

    // The window's caption: "SysexBox : bank-003.syx (bank 3)", "bank 12 from the controller";
    // `builtInCaption` for the built-in bank.
    QString caption(const QString& builtInCaption) const;
    // The name Store As proposes: the bank's file name, else bank-NNN.syx when the bank is
    // known, else `fallback`.
    QString proposedName(const QString& fallback) const;

    bool operator==(const BankOrigin&) const = default;
};
