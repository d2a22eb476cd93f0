// BankRecord: one bank of the controller, the 2048 bytes it exchanges in a dump.
#pragma once

#include "bank_layout.h"

#include <array>
#include <cstdint>
#include <string>

struct PotEntry {
    std::uint8_t status = 0; // MIDI status with bit 7 removed
    std::uint8_t data = 0;
    std::uint8_t min = 0;
    std::uint8_t max = 0;
    bool operator==(const PotEntry&) const = default;
};

struct ButtonEntry {
    std::uint8_t status = 0; // MIDI status with bit 7 removed
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint8_t mode = 0; // 0 ON/OFF, 1 ON ONLY, 2 TOGGLE
    bool operator==(const ButtonEntry&) const = default;
};

enum class MergerMode { MergerOff = 0, MergerOn = 1, LinkEP = 2, LinkFP = 3 };
enum class PotBehaviour { Normal = 0, Snap = 1, Relative = 2, Parallax = 3 };

// Full status byte as sent on MIDI, and the form stored in an entry.
constexpr std::uint8_t fullStatus(std::uint8_t stored) {
    return stored | 0x80;
}
constexpr std::uint8_t storedStatus(std::uint8_t full) {
    return full & 0x7F;
}

class BankRecord {
public:
    using Bytes = std::array<std::uint8_t, bank_layout::kRecordSize>;

    const Bytes& bytes() const { return m_bytes; }
    Bytes& bytes() { return m_bytes; }
    std::uint8_t byteAt(int offset) const { return m_bytes.at(offset); }
    bool operator==(const BankRecord&) const = default;

    // Pots, buttons and labels are numbered 1..64.
    PotEntry pot(int n) const;
    void setPot(int n, const PotEntry& entry);
    ButtonEntry button(int n) const;
    void setButton(int n, const ButtonEntry& entry);
    std::uint8_t initialValue(int n) const;
    void setInitialValue(int n, std::uint8_t value);

    // The 16-byte label record of pot n: mode character, then 15 text bytes.
    std::array<std::uint8_t, bank_layout::kLabelSize> labelRecord(int n) const;
    void setLabelRecord(int n, const std::array<std::uint8_t, bank_layout::kLabelSize>& record);
    std::string potLabel(int n) const;
    // Shorter texts end with one zero byte and are padded with spaces.
    void setPotLabel(int n, const std::string& text);
    std::uint8_t potLabelModeChar(int n) const;
    void setPotLabelModeChar(int n, std::uint8_t modeChar);
    int potLabelMode(int n) const; // index 0..7 of labelModeChars(); unknown characters give 0
    static const std::array<std::uint8_t, 8>& labelModeChars();

    int nibblePair(int offset) const;
    void setNibblePair(int offset, int value);

    MergerMode mergerMode() const;
    void setMergerMode(MergerMode mode); // changes only its two flag bits
    PotBehaviour potBehaviour() const;
    bool sendPCOnBankChange() const;
    bool receivePCForBankChange() const;
    bool snapShotAtPowerOn() const;
    bool autoSnapshot() const;

    struct GlobalFlags {
        MergerMode merger = MergerMode::MergerOff;
        PotBehaviour behaviour = PotBehaviour::Normal;
        bool sendPCOnBankChange = false;
        bool receivePCForBankChange = false;
        bool snapShotAtPowerOn = false;
        bool autoSnapshot = false;
        bool operator==(const GlobalFlags&) const = default;
    };
    // Rewrites the four format bytes and flag bytes A..D whole.
    void writeGlobalFlags(const GlobalFlags& flags);

    int morphBank() const { return nibblePair(bank_layout::kMorphBank); }
    void setMorphBank(int v) { setNibblePair(bank_layout::kMorphBank, v); }
    int morphPotGlobal() const { return nibblePair(bank_layout::kMorphPotGlobal); }
    void setMorphPotGlobal(int v) { setNibblePair(bank_layout::kMorphPotGlobal, v); }
    int morphPotGroup(int g) const; // g = 1..4
    void setMorphPotGroup(int g, int value);
    int touchsensorSensitivity() const; // 1..32
    void setTouchsensorSensitivity(int sensitivity);
    int sroutMap(int k) const; // shift register k = 1..8
    void setSroutMap(int k, int value);
    int globalMidiChannel() const { return nibblePair(bank_layout::kGlobalMidiChannel); }
    void setGlobalMidiChannel(int v) { setNibblePair(bank_layout::kGlobalMidiChannel, v); }

    std::string bankName() const;
    void setBankName(const std::string& name);

private:
    static int entryOffset(int base, int n);
    static int labelOffset(int n);

    Bytes m_bytes{};
};
