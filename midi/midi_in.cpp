#include "midi_in.h"

#include "midi_input_splitter.h"

#include <QByteArray>

// The driver-thread side of one open port: splits what the driver delivers, copies the bytes
// and hands them over to the owning thread.
struct TMidiIn::Inlet {
    Inlet(TMidiIn* target, quint64 generation)
        : target(target), generation(generation),
          splitter(
              SysexBufferSize, kMaxSysExLength,
              [this](std::uint8_t status, std::uint8_t first, std::uint8_t second) {
                  post([=, t = this->target] { t->ShortIn(status, first, second); },
                       input_coalescing::supersedeKey(status, first));
              },
              [this](std::span<const std::uint8_t> chunk) {
                  QByteArray bytes(reinterpret_cast<const char*>(chunk.data()),
                                   static_cast<qsizetype>(chunk.size()));
                  post([t = this->target, bytes = std::move(bytes)] { t->LongIn(bytes); });
              },
              [this](long long dropped, bool restart) {
                  post([=, t = this->target] { t->SysExCut(dropped, restart); });
              }) {}

    // Whatever was queued for an earlier open is not delivered.
    template <typename Call> void post(Call call, int supersedeKey = input_coalescing::kNever) {
        target->m_handOver.post(
            [t = target, g = generation, call = std::move(call)] {
                if (t->current(g)) call();
            },
            supersedeKey);
    }

    TMidiIn* target; // outlives the connection that calls us
    quint64 generation;
    MidiInputSplitter splitter;
};

TMidiIn::TMidiIn(const MidiDeviceList& devices, QObject* parent)
    : MidiPort(devices.inputs(), parent), m_handOver(this, [this](int count) {
          if (Using() && !m_stopping) emit inputDropped(count);
      }) {}

TMidiIn::~TMidiIn() {
    if (Using()) close();
}

void TMidiIn::open() {
    m_stopping = false;
    const MidiDevice* device = beginOpen();
    if (!device) return;
    auto inlet = std::make_shared<Inlet>(this, generation());
    auto opened = device->backend->openInput(
        device->name,
        [inlet](std::span<const std::uint8_t> bytes) { inlet->splitter.split(bytes); },
        lostHandler());
    m_connection = std::move(opened.connection);
    setOpenResult(opened.result);
}

void TMidiIn::close() {
    m_stopping = true;
    m_connection.reset(); // no driver callback runs after this
    invalidate();
}

bool TMidiIn::current(quint64 generation) const {
    return generation == this->generation() && Using() && !m_stopping;
}

void TMidiIn::ShortIn(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    if (OnTraffic) {
        const std::uint8_t bytes[] = {status, first, second};
        OnTraffic(std::span(bytes, static_cast<std::size_t>(shortMessageLength(status))));
    }
    if (OnShort && m_useShort) OnShort(this, status, first, second);
}

void TMidiIn::LongIn(const QByteArray& bytes) {
    if (OnTraffic)
        OnTraffic(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                            static_cast<std::size_t>(bytes.size())));
    if (OnSysEx && m_useSysEx)
        OnSysEx(this, reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                static_cast<int>(bytes.size()));
}

void TMidiIn::SysExCut(long long bytes, bool restart) {
    if (m_useSysEx) emit sysExCut(bytes, restart);
}
