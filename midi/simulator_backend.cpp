#include "simulator_backend.h"

namespace {

class SimulatorInput : public MidiInputConnection {
public:
    explicit SimulatorInput(SimulatorBackend& backend) : m_backend(backend) {}
    ~SimulatorInput() override { m_backend.inputClosed(); }

private:
    SimulatorBackend& m_backend;
};

class SimulatorOutput : public MidiOutputConnection {
public:
    explicit SimulatorOutput(SimulatorBackend& backend) : m_backend(backend) {}

    bool sendShort(std::span<const std::uint8_t> bytes) override { return send(bytes); }
    bool sendSysEx(std::span<const std::uint8_t> bytes) override { return send(bytes); }
    void reset() override {}

private:
    bool send(std::span<const std::uint8_t> bytes) {
        m_backend.toController(bytes);
        return true;
    }

    SimulatorBackend& m_backend;
};

} // namespace

SimulatorBackend::SimulatorBackend(const BankRecord& initialBank,
                                   SimulatedController::Settings settings)
    : m_controller(initialBank, settings) {}

SimulatorBackend::~SimulatorBackend() = default;

Opened<MidiInputConnection> SimulatorBackend::openInput(const std::string& name,
                                                        MidiInputHandler handler, PortLostHandler) {
    if (name != kPortName) return {nullptr, kPortNotFound};
    if (m_input) return {nullptr, kPortAllocated};
    m_input = std::move(handler);
    return {std::make_unique<SimulatorInput>(*this), kPortOk};
}

Opened<MidiOutputConnection> SimulatorBackend::openOutput(const std::string& name,
                                                          PortLostHandler) {
    if (name != kPortName) return {nullptr, kPortNotFound};
    return {std::make_unique<SimulatorOutput>(*this), kPortOk};
}

void SimulatorBackend::toController(std::span<const std::uint8_t> bytes) {
    const auto replies = m_controller.receive(bytes, SimulatedController::Clock::now());
    for (const auto& reply : replies)
        if (m_input) m_input(reply);
}

void SimulatorBackend::inputClosed() {
    m_input = nullptr;
}
