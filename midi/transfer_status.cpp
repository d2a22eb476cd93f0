#include "transfer_status.h"

namespace {
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kTeal{0, 128, 128};
} // namespace

TransferStatus evaluateTransferStatus(PortState in, PortState out, bool sending, bool busy) {
    TransferStatus status;
    status.selectorsEnabled = !busy && !sending;
    if (!in.selected)
        status.text = "No MIDI IN Port Selected";
    else if (!in.ready)
        status.text = "MIDI IN Port not ready!";
    else if (!out.selected)
        status.text = "No MIDI OUT Port Selected";
    else if (!out.ready)
        status.text = "MIDI OUT Port not ready!";
    if (!status.text.empty()) {
        status.colour = kRed;
        return status;
    }
    if (sending) {
        status.text = "Sending SysEx Data";
        status.colour = kBlue;
        return status;
    }
    status.text = "Ready for data transfer";
    status.colour = kTeal;
    status.transferButtonsEnabled = !busy;
    return status;
}
