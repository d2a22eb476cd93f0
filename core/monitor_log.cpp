#include "monitor_log.h"

#include <algorithm>

using midi_meaning::Category;
using midi_meaning::Direction;

MonitorLine::MonitorLine(std::int64_t ms, Direction direction, std::uint16_t port,
                         std::span<const std::uint8_t> message)
    : ms(ms), direction(direction), category(midi_meaning::category(message)),
      channel(midi_meaning::channel(message)), port(port), m_bytes(message.begin(), message.end()) {
}

bool MonitorFilter::accepts(const MonitorLine& line) const {
    if (!(line.direction == Direction::In ? in : out)) return false;
    switch (line.category) {
    case Category::Channel:
        return channelMessages && (channel == 0 || line.channel == channel);
    case Category::SysEx:
        return sysEx;
    case Category::RealTime:
        return realTime;
    case Category::Common:
        return common;
    }
    return false;
}

MonitorAmount MonitorAmount::of(std::span<const MonitorLine> lines) {
    MonitorAmount amount{lines.size(), 0};
    for (const MonitorLine& line : lines)
        amount.bytes += line.message().size();
    return amount;
}

MonitorLog::MonitorLog(std::size_t capacity, std::size_t byteBudget)
    : m_capacity(capacity > 0 ? capacity : 1), m_byteBudget(byteBudget) {}

std::uint16_t MonitorLog::portNumber(std::string_view name) {
    const auto known = std::find(m_ports.begin(), m_ports.end(), name);
    if (known != m_ports.end()) return static_cast<std::uint16_t>(known - m_ports.begin());
    m_ports.emplace_back(name);
    return static_cast<std::uint16_t>(m_ports.size() - 1);
}

std::string_view MonitorLog::portName(std::uint16_t number) const {
    return number < m_ports.size() ? std::string_view(m_ports[number]) : std::string_view();
}

std::string MonitorLog::text(const MonitorLine& line) const {
    return midi_meaning::monitorLine(line.ms, line.direction, portName(line.port), line.message(),
                                     m_names);
}

MonitorLog::Change MonitorLog::append(MonitorLine line) {
    Change change;
    if (m_paused) return change;
    const std::size_t bytes = line.message().size();
    if (const std::size_t leaving = oldestLeavingFor({1, bytes}))
        change.dropped = dropOldest(leaving);
    if (m_filter.accepts(line)) {
        m_visible.push_back(m_firstSerial + m_size);
        change.added = 1;
    }
    if (m_ring.empty()) m_ring.resize(m_capacity);
    m_ring[(m_oldest + m_size) % m_capacity] = std::move(line);
    ++m_size;
    m_bytes += bytes;
    return change;
}

std::size_t MonitorLog::oldestLeavingFor(const MonitorAmount& more) const {
    const MonitorAmount free = room();
    const std::size_t lines = std::min(more.lines - std::min(more.lines, free.lines), m_size);
    const std::size_t bytes = more.bytes - std::min(more.bytes, free.bytes);
    if (bytes == 0) return lines; // no line need be read
    std::size_t leaving = 0, freed = 0;
    while (leaving < m_size && (leaving < lines || freed < bytes))
        freed += line(leaving++).message().size();
    return leaving;
}

std::size_t MonitorLog::dropOldest(std::size_t count) {
    count = std::min(count, m_size);
    const std::size_t visible = visibleAmongOldest(count);
    m_visible.erase(m_visible.begin(), m_visible.begin() + static_cast<std::ptrdiff_t>(visible));
    // A line's slot is taken again only when the ring comes round: its bytes go now.
    for (std::size_t left = count; left > 0; --left) {
        m_bytes -= m_ring[m_oldest].message().size();
        m_ring[m_oldest].freeMessage();
        if (++m_oldest == m_capacity) m_oldest = 0;
    }
    m_size -= count;
    m_firstSerial += count;
    return visible;
}

const MonitorLine& MonitorLog::line(std::size_t age) const {
    return m_ring[(m_oldest + age) % m_capacity];
}

std::size_t MonitorLog::visibleAmongOldest(std::size_t count) const {
    const auto end = std::lower_bound(m_visible.begin(), m_visible.end(), m_firstSerial + count);
    return static_cast<std::size_t>(end - m_visible.begin());
}

void MonitorLog::clear() {
    dropOldest(m_size);
}

void MonitorLog::setFilter(const MonitorFilter& filter) {
    m_filter = filter;
    rebuildVisible();
}

const MonitorLine& MonitorLog::visible(std::size_t row) const {
    return line(static_cast<std::size_t>(m_visible.at(row) - m_firstSerial));
}

std::string MonitorLog::visibleText() const {
    std::string all;
    for (std::size_t row = 0; row < m_visible.size(); ++row)
        all.append(text(visible(row))).push_back('\n');
    return all;
}

void MonitorLog::rebuildVisible() {
    m_visible.clear();
    for (std::size_t age = 0; age < m_size; ++age)
        if (m_filter.accepts(line(age))) m_visible.push_back(m_firstSerial + age);
}
