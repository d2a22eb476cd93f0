// MidiBackend: one MIDI system of the machine (ALSA, JACK, the built-in simulator): its ports
// by name, and how to open them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Result codes of opening a port, kept by the port components as PortOpenResult.
enum PortResult : int {
    kPortOk = 0,
    kPortNotFound = 2,   // no port of that name (any more)
    kPortAllocated = 4,  // the port is in use and cannot be shared
    kPortOpenFailed = 6, // the MIDI system refused to open it
    kPortLost = 8,       // it was open, and the MIDI system went away
};

// Called on the driver's thread with the bytes of one incoming driver message; the bytes are
// valid only during the call.
using MidiInputHandler = std::function<void(std::span<const std::uint8_t>)>;
// Called on any thread when an open port stops working; the text says why.
using PortLostHandler = std::function<void(const std::string& reason)>;
// Called on any thread when ports of a MIDI system may have appeared or disappeared.
using PortsChangedHandler = std::function<void()>;

// An open input port; destroying it closes the port, and no handler runs after that.
class MidiInputConnection {
public:
    virtual ~MidiInputConnection() = default;
};

// An open output port; destroying it closes the port.
class MidiOutputConnection {
public:
    virtual ~MidiOutputConnection() = default;
    // Each returns false when the bytes could not be handed to the MIDI system.
    virtual bool sendShort(std::span<const std::uint8_t> bytes) = 0;
    // Sends one complete SysEx message; the caller may reuse the bytes once it returns.
    virtual bool sendSysEx(std::span<const std::uint8_t> bytes) = 0;
    // Silences the device: note off and all notes off on every channel.
    virtual void reset() = 0;
};

template <typename Connection> struct Opened {
    std::unique_ptr<Connection> connection;
    int result = kPortOk;
};

class MidiBackend {
public:
    virtual ~MidiBackend() = default;

    virtual std::string apiName() const = 0; // "ALSA", "JACK" or "Simulator"
    virtual std::vector<std::string> inputNames() = 0;
    virtual std::vector<std::string> outputNames() = 0;

    virtual Opened<MidiInputConnection> openInput(const std::string& name, MidiInputHandler handler,
                                                  PortLostHandler lost) = 0;
    virtual Opened<MidiOutputConnection> openOutput(const std::string& name,
                                                    PortLostHandler lost) = 0;

    // From now on `changed` runs as ports come and go, as the MIDI system announces them; an
    // empty handler stops that, and once it returns the old one runs no more. The default suits
    // a system whose ports never change.
    virtual void watchPorts(PortsChangedHandler changed) { static_cast<void>(changed); }
};
