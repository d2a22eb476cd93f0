// Short MIDI messages from a JACK peer to the owning thread of TMidiIn: sustained rate and
// latency from the peer's send to the OnShort handler. Starts its own JACK server.
#include "jack_server.h"
#include "midi_in.h"
#include "rtmidi_backend.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSequenceLimit = 1 << 18; // 4 channel bits and two 7-bit data bytes

// A peer that sends numbered Note On messages, and a TMidiIn on the owning thread that times them.
class Handover {
public:
    bool open() {
        m_peer = RtMidiBackend::create(RtMidiBackend::Api::Jack);
        if (!m_peer) return false;
        m_source = m_peer->openVirtualOutput("vpt64 bench", "out");
        m_devices = MidiDeviceList::create(MidiApiChoice::Jack);
        m_in = std::make_unique<TMidiIn>(*m_devices);
        for (int i = 0; i < m_in->NumDevs(); ++i)
            if (m_in->deviceName(i) == "vpt64 bench:out") m_in->SetPort(i);
        m_in->OnShort = [this](TMidiIn*, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
            const int n = (s & 0x0F) << 14 | a << 7 | b;
            m_latency.push_back(Clock::now() - m_sent[std::size_t(n)]);
        };
        QObject::connect(m_in.get(), &TMidiIn::inputDropped,
                         [this](int count) { m_dropped += count; });
        m_in->SetUsing(true);
        return m_source.connection && m_in->ready();
    }

    // Sends `count` messages, `gap` apart (zero: as fast as JACK takes them), and waits for
    // them on this thread. Returns the seconds from the first send to the last arrival.
    double run(int count, std::chrono::microseconds gap) {
        m_latency.clear();
        m_latency.reserve(std::size_t(count));
        m_sent.assign(std::size_t(count), Clock::time_point{});
        const auto start = Clock::now();
        std::thread sender([&] {
            auto next = Clock::now();
            for (int n = 0; n < count; ++n) {
                const std::uint8_t message[] = {std::uint8_t(0x90 | n >> 14),
                                                std::uint8_t(n >> 7 & 0x7F),
                                                std::uint8_t(n & 0x7F)};
                m_sent[std::size_t(n)] = Clock::now();
                while (!m_source.connection->sendShort(message))
                    std::this_thread::yield();
                if (gap.count() > 0) {
                    next += gap;
                    std::this_thread::sleep_until(next);
                }
            }
        });
        // Waits for events without spinning; a message that has not come 1 s after the last
        // one is counted as lost.
        QTimer wake;
        wake.start(10);
        auto lastArrival = Clock::now();
        std::size_t seen = 0;
        while (int(m_latency.size()) < count) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (m_latency.size() != seen) {
                seen = m_latency.size();
                lastArrival = Clock::now();
            } else if (Clock::now() - lastArrival > std::chrono::seconds(1)) {
                break;
            }
        }
        sender.join();
        return std::chrono::duration<double>(lastArrival - start).count();
    }

    double percentileMs(double p) {
        if (m_latency.empty()) return 0;
        std::sort(m_latency.begin(), m_latency.end());
        const auto i = std::min(m_latency.size() - 1, std::size_t(p * double(m_latency.size())));
        return std::chrono::duration<double, std::milli>(m_latency[i]).count();
    }
    std::size_t received() const { return m_latency.size(); }
    int dropped() const { return m_dropped; }

private:
    std::unique_ptr<RtMidiBackend> m_peer;
    Opened<MidiOutputConnection> m_source;
    std::unique_ptr<MidiDeviceList> m_devices;
    std::unique_ptr<TMidiIn> m_in;
    std::vector<Clock::time_point> m_sent;
    std::vector<Clock::duration> m_latency;
    int m_dropped = 0; // by TMidiIn, because this thread fell too far behind
};

void report(benchmark::State& state, Handover& handover, int count, double seconds) {
    state.counters["messages_per_s"] = double(handover.received()) / seconds;
    state.counters["lost"] = double(count) - double(handover.received());
    state.counters["dropped_by_TMidiIn"] = handover.dropped();
    state.counters["p50_ms"] = handover.percentileMs(0.50);
    state.counters["p99_ms"] = handover.percentileMs(0.99);
    state.counters["max_ms"] = handover.percentileMs(1.0);
}

// state.range(0): messages; state.range(1): microseconds between sends. Sending without any gap
// measures nothing of ours: RtMidi's JACK output then overruns JACK's port buffer and drops
// nearly everything before it reaches a receiver.
void BM_JackShortMessageHandover(benchmark::State& state) {
    JackServer server;
    if (!server.start()) {
        state.SkipWithError(server.error().toStdString().c_str());
        return;
    }
    Handover handover;
    if (!handover.open()) {
        state.SkipWithError("cannot open the JACK ports");
        return;
    }
    const int count = int(std::min<std::int64_t>(state.range(0), kSequenceLimit));
    double seconds = 0;
    for (auto _ : state)
        seconds = handover.run(count, std::chrono::microseconds(state.range(1)));
    report(state, handover, count, seconds);
}

} // namespace

BENCHMARK(BM_JackShortMessageHandover)
    ->ArgNames({"messages", "gap_us"})
    ->Args({5000, 1000})
    ->Args({20000, 100})
    ->Args({100000, 10})
    ->Args({200000, 5})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
