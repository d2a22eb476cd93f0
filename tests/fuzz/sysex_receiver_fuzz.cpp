// MIDI input as the driver delivers it: any bytes, cut into chunks of any size, pass through the
// receiver without a crash, and every bank it completes is handed to the dump scanner.
#include "dump_codec.h"
#include "sysex_receiver.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The buffers are large; one set serves every run, emptied by a fresh receiver state.
    static auto message = std::make_unique<DumpBuffer>();
    static auto incoming = std::make_unique<DumpBuffer>();
    message->length = 0;
    incoming->length = 0;
    incoming->blockCount = 0;
    const LogSink discard = [](const std::string&) {};
    SysexReceiver receiver(
        *message, *incoming,
        {discard, [] {}, [](int) {}, [&] { scanDump(incoming->used(), discard); }});
    FuzzedDataProvider input(data, size);
    while (input.remaining_bytes() > 0) {
        const std::size_t chunk = input.ConsumeIntegralInRange<std::size_t>(1, 300);
        const std::vector<std::uint8_t> bytes = input.ConsumeBytes<std::uint8_t>(chunk);
        receiver.MidiIn1SysEx(bytes.data(), static_cast<int>(bytes.size()));
    }
    return 0;
}
