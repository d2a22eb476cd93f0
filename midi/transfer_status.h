// TransferStatus: what the transfer page shows for the state of the ports and the transfer: the
// status text and colour, and which buttons and selectors can be used.
#pragma once

#include <string>

struct PortState {
    bool selected = false; // the selector is on a device, not on "None"
    bool ready = false;    // that device is open and working
};

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct TransferStatus {
    std::string text;
    Rgb colour;
    bool transferButtonsEnabled = false; // "Send Sysex" and "Request Sysex Dump"
    bool selectorsEnabled = true;
};

// `sending`: the upload timer runs. `busy`: an upload or request has started and not ended,
// its waits included; nothing else may start, and the ports must stay as they are.
TransferStatus evaluateTransferStatus(PortState in, PortState out, bool sending, bool busy);
