// FakeBackend: a MIDI system for tests that counts opens and closes, records what is sent, and
// delivers input from a thread of its own as a driver would.
#pragma once

#include "midi_backend.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class FakeBackend : public MidiBackend {
public:
    FakeBackend(int inputs, int outputs) : m_inputs(inputs), m_outputs(outputs) {}

    std::string apiName() const override { return "Fake"; }
    std::vector<std::string> inputNames() override {
        return m_listed ? m_inputList : names("in", m_inputs);
    }
    std::vector<std::string> outputNames() override {
        return m_listed ? m_outputList : names("out", m_outputs);
    }
    void watchPorts(PortsChangedHandler changed) override { m_changed = std::move(changed); }

    // Ports come and go: the lists become these, and a driver thread announces it (twice, as a
    // burst of notices would).
    void changePorts(std::vector<std::string> inputs, std::vector<std::string> outputs) {
        m_inputList = std::move(inputs);
        m_outputList = std::move(outputs);
        m_listed = true;
        std::thread([&] {
            if (m_changed) m_changed();
            if (m_changed) m_changed();
        }).join();
    }

    Opened<MidiInputConnection> openInput(const std::string& name, MidiInputHandler handler,
                                          PortLostHandler lost) override {
        if (name == failingName) return {nullptr, kPortOpenFailed};
        ++inputOpens;
        openInputName = name;
        m_handler = std::move(handler);
        m_lost = std::move(lost);
        return {std::make_unique<Input>(*this), kPortOk};
    }

    Opened<MidiOutputConnection> openOutput(const std::string& name,
                                            PortLostHandler lost) override {
        if (name == failingName) return {nullptr, kPortOpenFailed};
        ++outputOpens;
        openOutputName = name;
        m_lost = std::move(lost);
        return {std::make_unique<Output>(*this), kPortOk};
    }

    // Delivers each message from a driver thread, reusing one buffer as drivers do.
    void deliverFromDriverThread(const std::vector<std::vector<std::uint8_t>>& messages) {
        std::thread driver([&] {
            std::vector<std::uint8_t> buffer;
            for (const auto& m : messages) {
                buffer = m;
                m_handler(buffer);
                std::fill(buffer.begin(), buffer.end(), 0x55);
            }
        });
        driver.join();
    }

    void loseConnection(const std::string& reason) {
        std::thread([&] { m_lost(reason); }).join();
    }

    std::string failingName;
    std::string openInputName, openOutputName;
    int inputOpens = 0, inputCloses = 0, outputOpens = 0, outputCloses = 0;
    std::vector<std::vector<std::uint8_t>> sent;

private:
    struct Input : MidiInputConnection {
        explicit Input(FakeBackend& b) : backend(b) {}
        ~Input() override { ++backend.inputCloses; }
        FakeBackend& backend;
    };
    struct Output : MidiOutputConnection {
        explicit Output(FakeBackend& b) : backend(b) {}
        ~Output() override { ++backend.outputCloses; }
        bool sendShort(std::span<const std::uint8_t> bytes) override {
            backend.sent.emplace_back(bytes.begin(), bytes.end());
            return true;
        }
        bool sendSysEx(std::span<const std::uint8_t> bytes) override { return sendShort(bytes); }
        void reset() override { backend.sent.push_back({}); }
        FakeBackend& backend;
    };

    static std::vector<std::string> names(const char* prefix, int count) {
        std::vector<std::string> result;
        for (int i = 0; i < count; ++i)
            result.push_back(std::string(prefix) + " " + std::to_string(i + 1));
        return result;
    }

    int m_inputs;
    int m_outputs;
    bool m_listed = false;
    std::vector<std::string> m_inputList, m_outputList;
    PortsChangedHandler m_changed;
    MidiInputHandler m_handler;
    PortLostHandler m_lost;
};
