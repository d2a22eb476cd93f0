// DumpCodec: turns a bank record into its eight-block SysEx dump and a received or loaded
// dump back into a record, reporting every problem as a log line.
#pragma once

#include "bank_record.h"
#include "dump_buffer.h"

#include <functional>
#include <optional>
#include <span>
#include <string>

using LogSink = std::function<void(const std::string&)>;

struct ScannedDump {
    BankRecord record; // note-off statuses already raised to note-on
    int blocks = 0;
};

// The pure scanning step: checks the dump strictly and returns the record only when it is
// complete and correct. Every problem goes to `log`, in the order found, ending with the
// "not taken" line.
std::optional<ScannedDump> scanDump(std::span<const std::uint8_t> data, const LogSink& log);

// The pure building step: the eight blocks of `record` with device id 0, 2120 bytes.
// Returns the number of bytes written into `out`, which must hold at least 2120 bytes.
int buildDump(const BankRecord& record, std::span<std::uint8_t> out);

class DumpCodec {
public:
    struct Hooks {
        LogSink writeMsg;
        std::function<void()> loadSettingsToForm;   // record -> pages
        std::function<void()> saveSettingsFromForm; // pages -> record
        std::function<void()> outgoingDumpChanged;  // show the new outgoing dump on the page
    };

    DumpCodec(DumpBuffer& outgoingDump, Hooks hooks);

    // Returns 0 when the dump was taken, 1 when it was rejected (nothing changed then).
    int DumpToRecord(const DumpBuffer& source, BankRecord& record);
    // Returns 0 on success, 1 on failure.
    int RecordToDump(BankRecord& record, DumpBuffer& target);

private:
    void run(const std::function<void()>& hook) const {
        if (hook) hook();
    }

    DumpBuffer& m_outgoingDump;
    Hooks m_hooks;
};
