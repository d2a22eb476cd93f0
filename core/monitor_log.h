// MonitorLog: the lines of the MIDI monitor. Holds at most `capacity` lines and `byteBudget` bytes
// of their messages, dropping the oldest, so that memory stays bounded however long the monitor
// runs and whatever it is sent; keeps the lines that pass the filter in order for the view;
// discards what arrives while paused. A line holds its message as it came and is put into words
// when it is read: in a flood most lines pass unread. Plain C++, no Qt.
#pragma once

#include "midi_meaning.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct MonitorLine {
    MonitorLine() = default;
    // `port`: the log's number for the port's name (MonitorLog::portNumber).
    MonitorLine(std::int64_t ms, midi_meaning::Direction direction, std::uint16_t port,
                std::span<const std::uint8_t> message);
    std::span<const std::uint8_t> message() const {
        return {reinterpret_cast<const std::uint8_t*>(m_bytes.data()), m_bytes.size()};
    }
    // Frees the message's bytes: a line that leaves the log keeps none of them in its slot. A
    // short message has none of its own.
    void freeMessage() {
        if (m_bytes.capacity() > std::string().capacity()) std::string().swap(m_bytes);
    }

    std::int64_t ms = 0;
    midi_meaning::Direction direction = midi_meaning::Direction::In;
    midi_meaning::Category category = midi_meaning::Category::Channel;
    int channel = 0; // 1..16 for a channel message, 0 otherwise
    std::uint16_t port = 0;

private:
    std::string m_bytes; // holds every message but SysEx without an allocation of its own
};

// Which lines the monitor shows. `channel` 0 shows every channel.
struct MonitorFilter {
    bool in = true;
    bool out = true;
    bool channelMessages = true;
    bool sysEx = true;
    bool realTime = true;
    bool common = true;
    int channel = 0;

    bool accepts(const MonitorLine& line) const;
};

// Lines and the bytes of their messages: what the log has room for, or what it is to take.
struct MonitorAmount {
    std::size_t lines = 0;
    std::size_t bytes = 0;

    static MonitorAmount of(std::span<const MonitorLine> lines);
    bool fitsIn(const MonitorAmount& room) const {
        return lines <= room.lines && bytes <= room.bytes;
    }
    MonitorAmount operator+(const MonitorAmount& other) const {
        return {lines + other.lines, bytes + other.bytes};
    }
};

class MonitorLog {
public:
    static constexpr std::size_t kCapacity = 100'000;
    // A flood of long SysEx messages reaches this before the line cap: some 8,000 whole dumps.
    static constexpr std::size_t kByteBudget = 16 << 20;

    // What an append did to the visible lines: `dropped` left at the front, `added` at the end.
    struct Change {
        std::size_t dropped = 0;
        std::size_t added = 0;
    };

    explicit MonitorLog(std::size_t capacity = kCapacity, std::size_t byteBudget = kByteBudget);

    // The pots and buttons of `bank` (may be null; must outlive the log) name the lines.
    void nameBy(const BankRecord* bank) { m_names = bank; }
    // The number for the port named `name`, for the lines of that port.
    std::uint16_t portNumber(std::string_view name);
    std::string_view portName(std::uint16_t number) const;
    // The line in words: "<ms> in|out <port> <hex> <meaning>".
    std::string text(const MonitorLine& line) const;

    // Lines that arrive while paused are discarded, not held back. A line alone over the byte
    // budget is kept, alone.
    Change append(MonitorLine line);
    void setPaused(bool paused) { m_paused = paused; }
    bool paused() const { return m_paused; }
    void clear();
    void setFilter(const MonitorFilter& filter);
    const MonitorFilter& filter() const { return m_filter; }

    // Drops the `count` oldest lines and says how many of them were visible; that can be asked
    // first too, so that a view hears of the rows before they go.
    std::size_t dropOldest(std::size_t count);
    std::size_t visibleAmongOldest(std::size_t count) const;
    // How many of the oldest lines must leave so that `more` fits, at most all of them.
    std::size_t oldestLeavingFor(const MonitorAmount& more) const;

    std::size_t capacity() const { return m_capacity; }
    std::size_t byteBudget() const { return m_byteBudget; }
    std::size_t size() const { return m_size; }
    std::size_t bytes() const { return m_bytes; }
    MonitorAmount room() const {
        return {m_capacity - m_size, m_byteBudget - std::min(m_bytes, m_byteBudget)};
    }
    std::size_t visibleCount() const { return m_visible.size(); }
    const MonitorLine& visible(std::size_t row) const;
    // The visible lines, one per text line, for Copy and Save As.
    std::string visibleText() const;

private:
    void rebuildVisible();
    // The line `age` places after the oldest.
    const MonitorLine& line(std::size_t age) const;

    std::size_t m_capacity;
    std::size_t m_byteBudget;
    const BankRecord* m_names = nullptr;
    std::vector<std::string> m_ports;
    bool m_paused = false;
    MonitorFilter m_filter;
    std::uint64_t m_firstSerial = 0; // serial number of the oldest line
    // The lines in a ring of `capacity` slots, made at the first line: lines that leave cost
    // nothing, and a new line takes the slot of one that left.
    std::vector<MonitorLine> m_ring;
    std::size_t m_oldest = 0; // slot of the oldest line
    std::size_t m_size = 0;
    std::size_t m_bytes = 0;             // of the messages held
    std::deque<std::uint64_t> m_visible; // serial numbers of the lines that pass the filter
};
