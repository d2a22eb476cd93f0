// Byte offsets of the 2048-byte bank record: the controller's own wire layout.
#pragma once

namespace bank_layout {

constexpr int kRecordSize = 2048;
constexpr int kEntryCount = 64;
constexpr int kEntrySize = 4;
constexpr int kLabelSize = 16;
constexpr int kLabelTextLength = 15;
constexpr int kBankNameLength = 16;

constexpr int kPotEntries = 0x000;
constexpr int kButtonEntries = 0x100;
constexpr int kInitialValues = 0x200;
constexpr int kReserved1 = 0x240;
constexpr int kGlobalSettings = 0x250;
constexpr int kReserved2 = 0x290;
constexpr int kPotLabels = 0x400;

constexpr int kFormatByte1 = 0x250;
constexpr int kFormatByte2 = 0x251;
constexpr int kFlagsA = 0x252;
constexpr int kFlagsB = 0x253;
constexpr int kFlagsC = 0x254;
constexpr int kFlagsD = 0x255;
constexpr int kMorphBank = 0x258;
constexpr int kMorphPotGlobal = 0x25A;
constexpr int kMorphPotG1 = 0x25C; // G2..G4 follow at steps of 2
constexpr int kFormatByte3 = 0x268;
constexpr int kFormatByte4 = 0x269;
constexpr int kBankLabel = 0x26A;
constexpr int kTouchsensorSensitivity = 0x27A;
constexpr int kSroutMap1 = 0x27E; // maps 2..8 follow at steps of 2
constexpr int kGlobalMidiChannel = 0x28E;

// Values the editor always writes into the four format bytes.
constexpr unsigned char kFormatValue1 = 0x47;
constexpr unsigned char kFormatValue2 = 0x11;
constexpr unsigned char kFormatValue3 = 0x00;
constexpr unsigned char kFormatValue4 = 0x04;

// Flag bits.
constexpr unsigned char kFlagAMergerOffOrLinkEp = 0x01; // flags A bit 0
constexpr unsigned char kFlagASnap = 0x04;              // flags A bit 2
constexpr unsigned char kFlagARelative = 0x08;          // flags A bit 3
constexpr unsigned char kFlagBParallax = 0x01;          // flags B bit 0
constexpr unsigned char kFlagCSendPc = 0x01;            // flags C bit 0
constexpr unsigned char kFlagCReceivePc = 0x02;         // flags C bit 1
constexpr unsigned char kFlagCLinkMode = 0x04;          // flags C bit 2
constexpr unsigned char kFlagDSnapshotAtPowerOn = 0x01; // flags D bit 0
constexpr unsigned char kFlagDAutoSnapshot = 0x04;      // flags D bit 2

} // namespace bank_layout
