// The virtual box under load. Desk rebuild: ClearDesk + BuildDefaultDesk + FillDeskFromBank
// against creating and showing the same 64 knobs, 64 labels and 64 push buttons directly, side
// by side. Motorised flood: a JACK peer sends controller messages for all 64 pots into a visible
// desk with motorised pots on and times each one until the desk's resent message is back.
#include "desk_host.h"
#include "editor_window.h"
#include "fader_desk.h"
#include "jack_server.h"
#include "knob.h"
#include "pot_page.h"
#include "rtmidi_backend.h"
#include "side_by_side.h"
#include "spin_edit.h"
#include "transfer_page.h"
#include "virtual_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The baseline: the same widgets made and shown directly, without Tags, registry or bank.
void buildDirectly(QWidget& window) {
    qDeleteAll(window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
    for (int i = 0; i < 64; ++i) {
        auto* label = new QLabel(QStringLiteral("0"), &window);
        label->setGeometry(i % 16 * 50 + 30, i / 16 * 60 + 160, 40, 20);
        label->show();
        auto* knob = new TKnob(&window);
        knob->setGeometry(i % 16 * 50 + 30, i / 16 * 60 + 120, 40, 40);
        knob->SetPositionLabel(label);
        knob->show();
        auto* button = new QPushButton(QString::number(i + 1), &window);
        button->setGeometry(i % 16 * 50 + 38, 380 + i / 16 * 30, 25, 25);
        button->show();
    }
}

void BM_DeskRebuildAgainstDirectWidgets(benchmark::State& state) {
    BankRecord bank;
    for (int n = 1; n <= 64; ++n)
        bank.setPot(n, {0x30, std::uint8_t(n), 0, 127});
    SilentDeskHost host;
    VirtualBox box(bank, host);
    box.GenerateFaderDeskExecute();
    QWidget direct;
    direct.resize(860, 560);
    direct.show();
    timeSideBySide(
        state, "desk",
        [&] {
            box.ClearDesk();
            box.BuildDefaultDesk();
            box.FillDeskFromBank();
        },
        [&] { buildDirectly(direct); });
}
BENCHMARK(BM_DeskRebuildAgainstDirectWidgets)->Iterations(30)->Unit(benchmark::kMillisecond);

// Counts the paint events of the desk's knobs.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class Flood {
public:
    bool open() {
        m_peer = RtMidiBackend::create(RtMidiBackend::Api::Jack);
        if (!m_peer) return false;
        m_out = m_peer->openVirtualOutput("flood peer out", "out").connection;
        m_in =
            m_peer
                ->openVirtualInput("flood peer in", "in",
                                   [this](std::span<const std::uint8_t> bytes) { arrived(bytes); })
                .connection;
        m_form = std::make_unique<TForm1>(TForm1::Options{QString(), QStringLiteral("jack")});
        for (int n = 1; n <= 64; ++n)
            m_form->record.setPot(n, {0x30, std::uint8_t(n), 0, 127});
        choose(m_form->FileSheet->MIDIOutComboBox, "flood peer in");
        choose(m_form->FileSheet->MIDIInComboBox, "flood peer out");
        m_form->PotSettings->PotNumber->setValue(1);
        m_form->PotSettings->vMotPots->setChecked(true);
        m_form->FaderDesk().GenerateFaderDeskExecute();
        for (TKnob* knob : m_form->FaderDesk().FaderDesk().findChildren<TKnob*>())
            knob->installEventFilter(&m_paints);
        return m_out && m_in && m_form->FaderDesk().deskVisible() && warmUp();
    }

    // JACK connects ports at its next cycle: one message must make the round trip first.
    bool warmUp() {
        const std::uint8_t message[] = {0xB0, 64, 1};
        m_out->sendShort(message);
        const auto deadline = Clock::now() + std::chrono::seconds(2);
        while (m_warmedUp == 0 && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return m_warmedUp > 0;
    }

    // Sends `rate` messages a second for `seconds`, pots in turn, each value one step on from
    // that pot's last, so that no message repeats what its pot sent just before.
    void run(int rate, double seconds) {
        const int count = int(rate * seconds);
        m_sent.assign(std::size_t(count), {});
        m_latency.clear();
        m_paints.paints = 0;
        std::thread sender([&] {
            const auto gap = std::chrono::nanoseconds(1'000'000'000 / rate);
            auto next = Clock::now();
            for (int k = 0; k < count; ++k) {
                const std::uint8_t message[] = {0xB0, std::uint8_t(k % 64 + 1),
                                                std::uint8_t(k / 64 % 128)};
                {
                    std::lock_guard lock(m_mutex);
                    m_sent[std::size_t(k)] = Clock::now();
                }
                while (!m_out->sendShort(message))
                    std::this_thread::yield();
                next += gap;
                std::this_thread::sleep_until(next);
            }
        });
        const auto start = Clock::now();
        auto lastChange = start;
        std::size_t seen = 0;
        QTimer wake;
        wake.start(5);
        while (true) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            const std::size_t now = received();
            if (now != seen) {
                seen = now;
                lastChange = Clock::now();
            }
            if (now >= std::size_t(count) ||
                (Clock::now() - lastChange > std::chrono::seconds(1) &&
                 Clock::now() - start > std::chrono::duration<double>(seconds)))
                break;
        }
        sender.join();
        m_elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        m_count = count;
    }

    void report(benchmark::State& state) {
        std::lock_guard lock(m_mutex);
        std::sort(m_latency.begin(), m_latency.end());
        auto percentile = [&](double p) {
            if (m_latency.empty()) return 0.0;
            const auto i =
                std::min(m_latency.size() - 1, std::size_t(p * double(m_latency.size())));
            return std::chrono::duration<double, std::milli>(m_latency[i]).count();
        };
        state.counters["lost"] = double(m_count) - double(m_latency.size());
        state.counters["p50_ms"] = percentile(0.5);
        state.counters["p99_ms"] = percentile(0.99);
        state.counters["repaints_per_knob_s"] = double(m_paints.paints) / 64 / m_elapsed;
    }

private:
    static void choose(QComboBox* selector, const char* part) {
        for (int i = 0; i < selector->count(); ++i)
            if (selector->itemText(i).contains(QLatin1String(part))) {
                selector->setCurrentIndex(i);
                emit selector->activated(i);
            }
    }
    void arrived(std::span<const std::uint8_t> bytes) {
        if (bytes.size() != 3) return;
        const auto now = Clock::now();
        std::lock_guard lock(m_mutex);
        if (m_sent.empty()) {
            ++m_warmedUp;
            return;
        }
        // The resent message names its pot and value; the newest send of that pair caused it.
        const int first = bytes[2] * 64 + bytes[1] - 1;
        const Clock::time_point* cause = nullptr;
        for (std::size_t k = std::size_t(first); k < m_sent.size(); k += 64 * 128)
            if (m_sent[k] != Clock::time_point{}) cause = &m_sent[k];
        if (cause) m_latency.push_back(now - *cause);
    }
    std::size_t received() {
        std::lock_guard lock(m_mutex);
        return m_latency.size();
    }

    std::unique_ptr<RtMidiBackend> m_peer;
    std::unique_ptr<MidiOutputConnection> m_out;
    std::unique_ptr<MidiInputConnection> m_in;
    std::unique_ptr<TForm1> m_form;
    PaintCounter m_paints;
    std::mutex m_mutex;
    std::vector<Clock::time_point> m_sent;
    std::vector<Clock::duration> m_latency;
    std::atomic<int> m_warmedUp = 0;
    double m_elapsed = 0;
    int m_count = 0;
};

void BM_MotorisedFlood(benchmark::State& state) {
    JackServer server;
    if (!server.start()) {
        state.SkipWithError(server.error().toStdString().c_str());
        return;
    }
    Flood flood;
    if (!flood.open()) {
        state.SkipWithError("cannot open the JACK ports");
        return;
    }
    for (auto _ : state)
        flood.run(int(state.range(0)), 3.0);
    flood.report(state);
}
BENCHMARK(BM_MotorisedFlood)
    ->ArgName("messages_per_s")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
