// The bank as a text for dumpkit, the converter script that turns such a text into a SysEx dump.
#pragma once

#include "bank_record.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

struct ConverterIniHeader {
    QString release;     // "Release : " and the build date, as the transfer page shows it
    QString infoAddress; // where to read about the converter
    QDateTime generated;
};

// One pot line: the hex texts the pot editor shows, the initial value, the label field and the
// label's mode character.
struct ConverterIniPot {
    QString status, data, min, max;
    int initialValue = 0;
    QString label;
    std::uint8_t modeChar = '@';
};

// One button line: the hex texts the button editor shows, the mode list position (-1 for none)
// and the name of the matching preset (empty when there is none).
struct ConverterIniButton {
    QString status, data1, data2;
    int mode = -1;
    QString presetName;
};

// The whole text, lines ending in CR LF. The global rows come from `record`, the 64 pot and 64
// button lines from `pots` and `buttons`.
QByteArray converterIniText(const ConverterIniHeader& header, const BankRecord& record,
                            const std::vector<ConverterIniPot>& pots,
                            const std::vector<ConverterIniButton>& buttons);

// The text the editor exports once `record` is loaded into it, made without an editor: the global
// numbers and the status bytes limited to the ranges of the editor's fields.
QByteArray converterIniTextOfBank(const ConverterIniHeader& header, const BankRecord& record,
                                  const QStringList& presetKeys, const QStringList& presetNames);

// The lines as the editors show them once a decoded bank is loaded; used where no editor runs.
std::vector<ConverterIniPot> converterIniPots(const BankRecord& record);
std::vector<ConverterIniButton> converterIniButtons(const BankRecord& record,
                                                    const QStringList& presetKeys,
                                                    const QStringList& presetNames);

// The time for row 2: SOURCE_DATE_EPOCH (seconds, UTC) when set, so that exports can be
// reproduced, else the local time now.
QDateTime converterIniTime();
