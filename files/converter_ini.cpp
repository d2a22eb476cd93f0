#include "converter_ini.h"

#include "field_ranges.h"
#include "preset_library.h"

#include <cstdio>

namespace {

// "Default Setting" and the 23 functions after it; other values choose no function.
constexpr int kLedFunctions = 24;

template <typename... Args> QByteArray format(const char* pattern, Args... args) {
    const int size = std::snprintf(nullptr, 0, pattern, args...);
    QByteArray text(size, '\0');
    std::snprintf(text.data(), static_cast<std::size_t>(size) + 1, pattern, args...);
    return text;
}

QByteArray latin1(const QString& text) {
    return text.toLatin1();
}

const char* enabled(bool on) {
    return on ? "enabled" : "disabled";
}

const char* mergerWord(MergerMode mode) {
    switch (mode) {
    case MergerMode::MergerOn:
        return "enabled";
    case MergerMode::LinkEP:
        return "ptlink_ep";
    case MergerMode::LinkFP:
        return "ptlink_fp";
    default:
        return "disabled";
    }
}

const char* labelModeWord(std::uint8_t modeChar) {
    switch (modeChar) {
    case 'A':
        return "+-HEX";
    case 'B':
        return "DEC";
    case 'C':
        return "+-DEC";
    case '`':
        return "HEX|";
    case 'a':
        return "+-HEX|";
    case 'b':
        return "DEC|";
    case 'c':
        return "+-DEC|";
    default:
        return "HEX";
    }
}

const char* buttonModeWord(int mode) {
    static const char* const words[] = {"@OnOff", "@OnOnly", "@Toggle"};
    return mode >= 0 && mode < 3 ? words[mode] : "";
}

QByteArray section(const char* name, const QByteArray& value) {
    return format("[%s]\r\n   %s\r\n\r\n", name, value.constData());
}

QByteArray number(int value) {
    return QByteArray::number(value);
}

QByteArray globalRows(const BankRecord& record) {
    QByteArray text = section("TYPE", "pultron64");
    text += format("[BANKNAME]\r\n   \"%-16s\"\r\n\r\n", record.bankName().substr(0, 16).c_str());
    text += section("GLOBAL_MIDI_CHANNEL", number(record.globalMidiChannel()));
    text += section("MORPH_BANK", number(record.morphBank()));
    text += section("MORPH_POT_GLOBAL", number(record.morphPotGlobal()));
    for (int g = 1; g <= 4; ++g)
        text += section(format("MORPH_POT_G%d", g).constData(), number(record.morphPotGroup(g)));
    text += section("SNAPSHOT_AT_POWERON", enabled(record.snapShotAtPowerOn()));
    text += section("AUTO_SNAPSHOT", enabled(record.autoSnapshot()));
    text += section("MIDI_MERGER", mergerWord(record.mergerMode()));
    text += section("SEND_PC_ON_BANKCHANGE", enabled(record.sendPCOnBankChange()));
    text += section("RECEIVE_PC_FOR_BANKCHANGE", enabled(record.receivePCForBankChange()));
    text += section("TOUCHSENSOR_SENSITIVITY", number(record.touchsensorSensitivity()));
    text += "[LED_MAP]\r\n";
    for (int k = 1; k <= 8; ++k) {
        const int function = record.sroutMap(k) < kLedFunctions ? record.sroutMap(k) : -1;
        text += format("   LED_SR%d = %d\r\n", k, function);
    }
    return text + "\r\n";
}

QByteArray potLine(int n, const ConverterIniPot& pot) {
    return format("   %-2d = %s %s [%s-%s:%02x] \"%s\" %s\r\n", n, latin1(pot.status).constData(),
                  latin1(pot.data).constData(), latin1(pot.min).constData(),
                  latin1(pot.max).constData(), pot.initialValue,
                  latin1(pot.label.trimmed()).constData(), labelModeWord(pot.modeChar));
}

QByteArray buttonLine(int n, const ConverterIniButton& button) {
    const QByteArray comment =
        button.presetName.isEmpty() ? QByteArray() : "Preset : " + latin1(button.presetName);
    return format(" %-2d = %s %s %s %s   # %s\r\n", n, latin1(button.status).constData(),
                  latin1(button.data1).constData(), latin1(button.data2).constData(),
                  buttonModeWord(button.mode), comment.constData());
}

// The status byte field shows the lowest status it offers for a stored status below it.
std::uint8_t shownStatus(std::uint8_t stored) {
    return std::uint8_t(field_ranges::kStatus.limit(fullStatus(stored)));
}

QString hex(int value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QByteArray converterIniText(const ConverterIniHeader& header, const BankRecord& record,
                            const std::vector<ConverterIniPot>& pots,
                            const std::vector<ConverterIniButton>& buttons) {
    QByteArray text = format("# Export from vPultron64 : %s\r\n", latin1(header.release).data());
    text += format("# Data Generated on : %s\r\n",
                   latin1(header.generated.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))).data());
    text += "# dumpkit, the converter script that reads this text, comes from the Pultron64's "
            "author.\r\n";
    text += format("# More about dumpkit and the controller: %s\r\n\r\n",
                   latin1(header.infoAddress).data());
    text += globalRows(record);
    text += "[POTS]\r\n";
    for (std::size_t i = 0; i < pots.size(); ++i)
        text += potLine(static_cast<int>(i) + 1, pots[i]);
    text += "\r\n[BUTTONS]\r\n";
    for (std::size_t i = 0; i < buttons.size(); ++i)
        text += buttonLine(static_cast<int>(i) + 1, buttons[i]);
    return text;
}

QByteArray converterIniTextOfBank(const ConverterIniHeader& header, const BankRecord& record,
                                  const QStringList& presetKeys, const QStringList& presetNames) {
    BankRecord shown = record;
    field_ranges::giveBackAsShown(shown);
    return converterIniText(header, shown, converterIniPots(shown),
                            converterIniButtons(shown, presetKeys, presetNames));
}

std::vector<ConverterIniPot> converterIniPots(const BankRecord& record) {
    std::vector<ConverterIniPot> pots;
    for (int n = 1; n <= bank_layout::kEntryCount; ++n) {
        const PotEntry entry = record.pot(n);
        pots.push_back({hex(shownStatus(entry.status)), hex(entry.data), hex(entry.min),
                        hex(entry.max), record.initialValue(n),
                        QString::fromLatin1(record.potLabel(n)), record.potLabelModeChar(n)});
    }
    return pots;
}

std::vector<ConverterIniButton> converterIniButtons(const BankRecord& record,
                                                    const QStringList& presetKeys,
                                                    const QStringList& presetNames) {
    std::vector<ConverterIniButton> buttons;
    for (int n = 1; n <= bank_layout::kEntryCount; ++n) {
        const ButtonEntry entry = record.button(n);
        const std::uint8_t status = shownStatus(entry.status);
        const int preset =
            preset_file::findButtonPreset(presetKeys, {status, entry.data1, entry.data2});
        buttons.push_back({hex(status), hex(entry.data1), hex(entry.data2),
                           entry.mode < 3 ? entry.mode : -1,
                           preset >= 0 ? presetNames.value(preset) : QString()});
    }
    return buttons;
}

QDateTime converterIniTime() {
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    return ok ? QDateTime::fromSecsSinceEpoch(epoch, Qt::UTC) : QDateTime::currentDateTime();
}
