// SimulatorBackend: the built-in simulated controller behind one input and one output port named
// "vPultron64 Simulator". What goes out on its output reaches the controller at once, and the
// controller's replies come in on its input.
#pragma once

#include "midi_backend.h"
#include "simulated_controller.h"

class SimulatorBackend : public MidiBackend {
public:
    static constexpr const char* kPortName = "vPultron64 Simulator";

    explicit SimulatorBackend(const BankRecord& initialBank,
                              SimulatedController::Settings settings = {});
    ~SimulatorBackend() override;

    std::string apiName() const override { return "Simulator"; }
    std::vector<std::string> inputNames() override { return {kPortName}; }
    std::vector<std::string> outputNames() override { return {kPortName}; }
    Opened<MidiInputConnection> openInput(const std::string& name, MidiInputHandler handler,
                                          PortLostHandler lost) override;
    Opened<MidiOutputConnection> openOutput(const std::string& name, PortLostHandler lost) override;

    SimulatedController& controller() { return m_controller; }

    // Passes bytes to the controller and its replies to the open input (used by the output).
    void toController(std::span<const std::uint8_t> bytes);
    // Ends the open input's connection (called when it closes).
    void inputClosed();

private:
    SimulatedController m_controller;
    MidiInputHandler m_input; // empty while the input is closed
};
