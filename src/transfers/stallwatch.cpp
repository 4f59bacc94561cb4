#include "stallwatch.h"

StallWatch::StallWatch(SecondsClock clock, double timeoutSeconds, Rule rule)
    : m_clock(std::move(clock))
    , m_timeout(timeoutSeconds)
    , m_rule(rule)
{
}

void StallWatch::restart()
{
    m_seen = 0;
    m_lastGrowth = m_clock();
}

void StallWatch::grew(qint64 bytes)
{
    m_seen = bytes;
    m_lastGrowth = m_clock();
}

bool StallWatch::stalled(qint64 bytes)
{
    const double now = m_clock();
    if (bytes != m_seen) {
        m_seen = bytes;
        m_lastGrowth = now;
        return false;
    }
    // Counted across midnight: a stall is never declared because the day turned.
    const double quiet = SecondsElapsed(m_lastGrowth, now);
    return m_rule == Rule::AtLeast ? quiet >= m_timeout : quiet > m_timeout;
}
