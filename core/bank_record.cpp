#include "bank_record.h"

#include <algorithm>
#include <stdexcept>

using namespace bank_layout;

namespace {

bool isWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string trimRight(std::string text) {
    while (!text.empty() && isWhiteSpace(text.back()))
        text.pop_back();
    return text;
}

} // namespace

int BankRecord::entryOffset(int base, int n) {
    if (n < 1 || n > kEntryCount) throw std::out_of_range("entry number out of range");
    return base + kEntrySize * (n - 1);
}

int BankRecord::labelOffset(int n) {
    if (n < 1 || n > kEntryCount) throw std::out_of_range("label number out of range");
    return kPotLabels + kLabelSize * (n - 1);
}

PotEntry BankRecord::pot(int n) const {
    const int o = entryOffset(kPotEntries, n);
    return {m_bytes[o], m_bytes[o + 1], m_bytes[o + 2], m_bytes[o + 3]};
}

void BankRecord::setPot(int n, const PotEntry& e) {
    const int o = entryOffset(kPotEntries, n);
    m_bytes[o] = e.status;
    m_bytes[o + 1] = e.data;
    m_bytes[o + 2] = e.min;
    m_bytes[o + 3] = e.max;
}

ButtonEntry BankRecord::button(int n) const {
    const int o = entryOffset(kButtonEntries, n);
    return {m_bytes[o], m_bytes[o + 1], m_bytes[o + 2], m_bytes[o + 3]};
}

void BankRecord::setButton(int n, const ButtonEntry& e) {
    const int o = entryOffset(kButtonEntries, n);
    m_bytes[o] = e.status;
    m_bytes[o + 1] = e.data1;
    m_bytes[o + 2] = e.data2;
    m_bytes[o + 3] = e.mode;
}

std::uint8_t BankRecord::initialValue(int n) const {
    return m_bytes[kInitialValues + (entryOffset(0, n) / kEntrySize)];
}

void BankRecord::setInitialValue(int n, std::uint8_t value) {
    m_bytes[kInitialValues + (entryOffset(0, n) / kEntrySize)] = value;
}

std::array<std::uint8_t, kLabelSize> BankRecord::labelRecord(int n) const {
    std::array<std::uint8_t, kLabelSize> record{};
    std::copy_n(m_bytes.begin() + labelOffset(n), kLabelSize, record.begin());
    return record;
}

void BankRecord::setLabelRecord(int n, const std::array<std::uint8_t, kLabelSize>& record) {
    std::copy(record.begin(), record.end(), m_bytes.begin() + labelOffset(n));
}

std::string BankRecord::potLabel(int n) const {
    const int o = labelOffset(n) + 1;
    std::string text;
    for (int i = 0; i < kLabelTextLength && m_bytes[o + i] != 0; ++i)
        text.push_back(static_cast<char>(m_bytes[o + i]));
    return trimRight(text);
}

void BankRecord::setPotLabel(int n, const std::string& text) {
    const int o = labelOffset(n) + 1;
    const int length = std::min<int>(text.size(), kLabelTextLength);
    for (int i = 0; i < kLabelTextLength; ++i) {
        if (i < length)
            m_bytes[o + i] = static_cast<std::uint8_t>(text[i]) & 0x7F;
        else
            m_bytes[o + i] = (i == length) ? 0 : ' ';
    }
}

std::uint8_t BankRecord::potLabelModeChar(int n) const {
    return m_bytes[labelOffset(n)];
}

void BankRecord::setPotLabelModeChar(int n, std::uint8_t modeChar) {
    m_bytes[labelOffset(n)] = modeChar & 0x7F;
}

const std::array<std::uint8_t, 8>& BankRecord::labelModeChars() {
    static const std::array<std::uint8_t, 8> chars{'@', 'A', 'B', 'C', '`', 'a', 'b', 'c'};
    return chars;
}

int BankRecord::potLabelMode(int n) const {
    const auto& chars = labelModeChars();
    const auto it = std::find(chars.begin(), chars.end(), potLabelModeChar(n));
    return it == chars.end() ? 0 : static_cast<int>(it - chars.begin());
}

int BankRecord::nibblePair(int offset) const {
    return (m_bytes.at(offset + 1) & 0x0F) * 16 + (m_bytes.at(offset) & 0x0F);
}

void BankRecord::setNibblePair(int offset, int value) {
    const int v = std::clamp(value, 0, 255);
    m_bytes.at(offset) = static_cast<std::uint8_t>(v % 16);
    m_bytes.at(offset + 1) = static_cast<std::uint8_t>(v / 16);
}

MergerMode BankRecord::mergerMode() const {
    const int link = (m_bytes[kFlagsC] & kFlagCLinkMode) ? 1 : 0;
    const int offOrEp = (m_bytes[kFlagsA] & kFlagAMergerOffOrLinkEp) ? 1 : 0;
    return static_cast<MergerMode>(2 * link + (1 - offOrEp));
}

void BankRecord::setMergerMode(MergerMode mode) {
    const int index = static_cast<int>(mode);
    auto setBit = [this](int offset, std::uint8_t bit, bool on) {
        m_bytes[offset] = on ? (m_bytes[offset] | bit) : (m_bytes[offset] & ~bit);
    };
    setBit(kFlagsA, kFlagAMergerOffOrLinkEp, index % 2 == 0);
    setBit(kFlagsC, kFlagCLinkMode, (index & 2) != 0);
}

PotBehaviour BankRecord::potBehaviour() const {
    if (m_bytes[kFlagsB] & kFlagBParallax) return PotBehaviour::Parallax;
    if (m_bytes[kFlagsA] & kFlagARelative) return PotBehaviour::Relative;
    if (m_bytes[kFlagsA] & kFlagASnap) return PotBehaviour::Snap;
    return PotBehaviour::Normal;
}

bool BankRecord::sendPCOnBankChange() const {
    return m_bytes[kFlagsC] & kFlagCSendPc;
}
bool BankRecord::receivePCForBankChange() const {
    return m_bytes[kFlagsC] & kFlagCReceivePc;
}
bool BankRecord::snapShotAtPowerOn() const {
    return m_bytes[kFlagsD] & kFlagDSnapshotAtPowerOn;
}
bool BankRecord::autoSnapshot() const {
    return m_bytes[kFlagsD] & kFlagDAutoSnapshot;
}

void BankRecord::writeGlobalFlags(const GlobalFlags& f) {
    m_bytes[kFormatByte1] = kFormatValue1;
    m_bytes[kFormatByte2] = kFormatValue2;
    m_bytes[kFormatByte3] = kFormatValue3;
    m_bytes[kFormatByte4] = kFormatValue4;

    const int merger = static_cast<int>(f.merger);
    const int behaviour = static_cast<int>(f.behaviour);
    std::uint8_t a = 0, b = 0, c = 0, d = 0;
    if (merger % 2 == 0) a |= kFlagAMergerOffOrLinkEp;
    if (behaviour >= 1) a |= kFlagASnap;
    if (behaviour >= 2) a |= kFlagARelative;
    if (behaviour == 3) b |= kFlagBParallax;
    if (f.sendPCOnBankChange) c |= kFlagCSendPc;
    if (f.receivePCForBankChange) c |= kFlagCReceivePc;
    if (merger >= 2) c |= kFlagCLinkMode;
    if (f.snapShotAtPowerOn) d |= kFlagDSnapshotAtPowerOn;
    if (f.autoSnapshot) d |= kFlagDAutoSnapshot;
    m_bytes[kFlagsA] = a;
    m_bytes[kFlagsB] = b;
    m_bytes[kFlagsC] = c;
    m_bytes[kFlagsD] = d;
}

int BankRecord::morphPotGroup(int g) const {
    return nibblePair(kMorphPotG1 + 2 * (std::clamp(g, 1, 4) - 1));
}

void BankRecord::setMorphPotGroup(int g, int value) {
    setNibblePair(kMorphPotG1 + 2 * (std::clamp(g, 1, 4) - 1), value);
}

int BankRecord::touchsensorSensitivity() const {
    return nibblePair(kTouchsensorSensitivity) + 1;
}

void BankRecord::setTouchsensorSensitivity(int sensitivity) {
    setNibblePair(kTouchsensorSensitivity, sensitivity - 1);
}

int BankRecord::sroutMap(int k) const {
    return nibblePair(kSroutMap1 + 2 * (std::clamp(k, 1, 8) - 1));
}

void BankRecord::setSroutMap(int k, int value) {
    setNibblePair(kSroutMap1 + 2 * (std::clamp(k, 1, 8) - 1), value);
}

std::string BankRecord::bankName() const {
    std::string name;
    for (int i = 0; i < kBankNameLength && m_bytes[kBankLabel + i] != 0; ++i)
        name.push_back(static_cast<char>(m_bytes[kBankLabel + i]));
    return trimRight(name);
}

void BankRecord::setBankName(const std::string& name) {
    for (int i = 0; i < kBankNameLength; ++i) {
        const bool inText = i < static_cast<int>(name.size());
        m_bytes[kBankLabel + i] = inText ? static_cast<std::uint8_t>(name[i]) & 0x7F : ' ';
    }
}
