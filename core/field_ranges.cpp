#include "field_ranges.h"

namespace field_ranges {

Globals globalsOf(const BankRecord& record) {
    std::array<int, kMorphGroups> groups{};
    for (int g = 1; g <= kMorphGroups; ++g)
        groups[g - 1] = record.morphPotGroup(g);
    return {{record.mergerMode(), record.potBehaviour(), record.sendPCOnBankChange(),
             record.receivePCForBankChange(), record.snapShotAtPowerOn(), record.autoSnapshot()},
            record.globalMidiChannel(),
            record.morphBank(),
            record.morphPotGlobal(),
            groups,
            record.bankName(),
            record.touchsensorSensitivity()};
}

void writeGlobals(BankRecord& record, const Globals& globals) {
    record.writeGlobalFlags(globals.flags);
    record.setGlobalMidiChannel(kMidiChannel.limit(globals.midiChannel));
    record.setMorphBank(kMorphBank.limit(globals.morphBank));
    record.setMorphPotGlobal(kMorphPot.limit(globals.morphPotGlobal));
    for (int g = 1; g <= kMorphGroups; ++g)
        record.setMorphPotGroup(g, kMorphPot.limit(globals.morphPotGroups[g - 1]));
    record.setBankName(globals.bankName);
    record.setTouchsensorSensitivity(kTouchSensitivity.limit(globals.touchsensorSensitivity));
}

} // namespace field_ranges
