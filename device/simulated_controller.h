// SimulatedController: behaves towards this program as the controller does. It holds 128 banks,
// switches banks on request, dumps the current bank as eight blocks, and stores uploaded blocks,
// answering each with an acknowledge or an error reply. A reply carries 00 and a code after its
// command (F0 00 00 7E 43 0F 00 05 F7), or, when told, the number of the block it answers. For
// tests it can be told to misbehave: refuse a block, lose a message on the way in or out, leave a
// bank unanswered, or store a bank with one byte changed.
#pragma once

#include "bank_record.h"
#include "sysex_assembler.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

class SimulatedController {
public:
    static constexpr int kBankCount = 128;
    using Clock = std::chrono::steady_clock;
    using Message = std::vector<std::uint8_t>;
    using Bytes = std::span<const std::uint8_t>;

    // Codes carried by an error reply after the block number.
    enum ErrorCode : std::uint8_t {
        ChecksumMismatch = 0x01,
        BufferOverflow = 0x02, // a block came sooner than the minimum gap after the one before
        BadBlock = 0x03,       // wrong length or a block number beyond 7
    };

    // The code an acknowledge carries after its 00.
    static constexpr std::uint8_t kAcknowledgeCode = 0x05;

    struct Settings {
        int deviceId = 0;
        std::chrono::milliseconds minBlockGap{0};
        bool numberedReplies = false; // the block number after the command, else 00
    };

    // What a fault does to a block of a bank.
    enum class Fault {
        RefuseBlock,   // the uploaded block is answered with an error reply
        LoseBlock,     // the uploaded block never arrives: no reply, nothing stored
        LoseReply,     // the uploaded block is stored, its reply never arrives
        LoseDumpBlock, // the block of a dump never arrives at the other side
    };

    struct Observer {
        std::function<void(Bytes)> received; // every complete message, whoever it is for
        std::function<void(Bytes)> sent;     // every reply
        std::function<void(const std::string&)> log;
    };

    SimulatedController(const BankRecord& initialBank, Settings settings);

    // Takes bytes as they arrive at the controller's input, in any chunks; returns the replies
    // in the order they go out.
    std::vector<Message> receive(Bytes bytes, Clock::time_point now);

    void setObserver(Observer observer) { m_observer = std::move(observer); }
    const Settings& settings() const { return m_settings; }
    void setDeviceId(int deviceId) { m_settings.deviceId = deviceId & 0x07; }
    void setMinBlockGap(std::chrono::milliseconds gap) { m_settings.minBlockGap = gap; }

    // Faults, banks counted 0..127 and blocks 0..7: `fault` strikes `block` of `bank` the first
    // time only, unless `always`.
    void inject(Fault fault, int bank, int block, bool always = false);
    // While `bank` is selected, dump requests and uploaded blocks go unanswered.
    void silenceBank(int bank) { m_silentBanks.insert(bank); }
    // Uploads into `bank` store the byte at `offset` of the record one higher (within 7 bits),
    // and still acknowledge it.
    void corruptStoredByte(int bank, int offset) { m_corruptBytes[bank] = offset; }

    int currentBank() const { return m_currentBank; } // 0..127
    const BankRecord& bank(int n) const;
    void setBank(int n, const BankRecord& record) { writableBank(n) = record; }

private:
    // Bank n (0..127), made a bank of its own on its first write.
    BankRecord& writableBank(int n);
    void handle(Bytes message, Clock::time_point now, std::vector<Message>& replies);
    void bankChange(Bytes message);
    void dumpCurrentBank(std::vector<Message>& replies);
    void storeBlock(Bytes message, Clock::time_point now, std::vector<Message>& replies);
    void storeWholeDump(Bytes message, std::vector<Message>& replies);
    Message acknowledge(int blockNumber) const;
    Message errorReply(int blockNumber, ErrorCode code) const;
    Message replyMessage(std::uint8_t command, std::initializer_list<std::uint8_t> body) const;
    bool strikes(Fault fault, int blockNumber);
    void corruptIfAsked(int bank, int blockNumber);
    void reply(Message message, std::vector<Message>& replies);
    void log(const std::string& line) const;

    Settings m_settings;
    // Every bank starts as the initial bank; only the banks written to are kept apart, which
    // spares the memory of 128 copies.
    BankRecord m_initialBank;
    std::map<int, BankRecord> m_writtenBanks;
    int m_currentBank = 0;
    SysexAssembler m_assembler;
    bool m_blockSeen = false;
    Clock::time_point m_lastBlock{};
    Observer m_observer;
    struct Strike {
        bool always = false;
        bool spent = false;
    };
    std::map<std::tuple<Fault, int, int>, Strike> m_faults; // by (fault, bank, block)
    std::set<int> m_silentBanks;
    std::map<int, int> m_corruptBytes; // bank -> record offset
};
