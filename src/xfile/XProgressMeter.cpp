#include "xfile/XProgressMeter.h"

#include <chrono>

namespace xfile {

XProgressMeter::XProgressMeter(ProgressSink* sink, std::size_t textLength, Clock clock)
    : m_sink(textLength > 0 ? sink : nullptr), m_length(textLength), m_clock(std::move(clock)) {}

std::int64_t XProgressMeter::Now() const {
    if (m_clock) return m_clock();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void XProgressMeter::Start() {
    if (!m_sink) return;
    m_sink->SetRange(0, 100);
    m_sink->SetPos(0);
    m_lastValue = 0;
    m_lastTime = Now();
}

void XProgressMeter::Update(std::size_t offset) {
    if (!m_sink) return;
    const std::int64_t now = Now();
    if (now - m_lastTime <= kIntervalMs) return;
    if (offset > m_length) offset = m_length;
    const int value = static_cast<int>(offset * 50 / m_length);
    if (value == m_lastValue) return;
    m_lastValue = value;
    m_lastTime = now;
    m_sink->SetPos(2 * value);
}

}  // namespace xfile
