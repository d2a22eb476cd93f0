#include "monitor_log.h"

#include <algorithm>
#include <iterator>

using midi_meaning::Category;
using midi_meaning::Direction;

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

MonitorLog::MonitorLog(std::size_t capacity) : m_capacity(capacity > 0 ? capacity : 1) {}

MonitorLog::Change MonitorLog::append(MonitorLine line) {
    Change change;
    if (m_paused) return change;
    if (m_lines.size() == m_capacity) {
        if (!m_visible.empty() && m_visible.front() == m_firstSerial) {
            m_visible.pop_front();
            change.dropped = 1;
        }
        m_lines.pop_front();
        ++m_firstSerial;
    }
    if (m_filter.accepts(line)) {
        m_visible.push_back(m_firstSerial + m_lines.size());
        change.added = 1;
    }
    m_lines.push_back(std::move(line));
    return change;
}

void MonitorLog::dropOldest(std::size_t count, std::vector<MonitorLine>* leaving) {
    count = std::min(count, m_lines.size());
    m_visible.erase(m_visible.begin(),
                    m_visible.begin() + static_cast<std::ptrdiff_t>(visibleAmongOldest(count)));
    const auto end = m_lines.begin() + static_cast<std::ptrdiff_t>(count);
    if (leaving) std::move(m_lines.begin(), end, std::back_inserter(*leaving));
    m_lines.erase(m_lines.begin(), end);
    m_firstSerial += count;
}

std::size_t MonitorLog::visibleAmongOldest(std::size_t count) const {
    const auto end = std::lower_bound(m_visible.begin(), m_visible.end(), m_firstSerial + count);
    return static_cast<std::size_t>(end - m_visible.begin());
}

void MonitorLog::clear() {
    m_firstSerial += m_lines.size();
    m_lines.clear();
    m_visible.clear();
}

void MonitorLog::setFilter(const MonitorFilter& filter) {
    m_filter = filter;
    rebuildVisible();
}

const MonitorLine& MonitorLog::visible(std::size_t row) const {
    return m_lines.at(static_cast<std::size_t>(m_visible.at(row) - m_firstSerial));
}

std::string MonitorLog::visibleText() const {
    std::string text;
    for (std::size_t row = 0; row < m_visible.size(); ++row)
        text.append(visible(row).text).push_back('\n');
    return text;
}

void MonitorLog::rebuildVisible() {
    m_visible.clear();
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_filter.accepts(m_lines[i])) m_visible.push_back(m_firstSerial + i);
}
