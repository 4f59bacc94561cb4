#pragma once

#include "core/secondsclock.h"

#include <QtGlobal>

// The stall rule every transfer follows: a body that has not grown for the
// time-out is given up. The watchdog looks once a second; a writer that knows
// the moment its file grew says so, and the clock then counts from that
// moment instead of from the look that noticed it.
class StallWatch final {
public:
    // The parallel method gives up at the time-out, the single-transfer method
    // only once it is passed.
    enum class Rule { AtLeast, MoreThan };

    StallWatch(SecondsClock clock, double timeoutSeconds, Rule rule);

    void setTimeoutSeconds(double seconds) { m_timeout = seconds; }
    double timeoutSeconds() const { return m_timeout; }

    // A new body: nothing seen yet, the clock starts now.
    void restart();
    // The body grew to this many bytes just now.
    void grew(qint64 bytes);
    // The watchdog's look at the body's size: true when it stalled.
    bool stalled(qint64 bytes);

private:
    SecondsClock m_clock;
    double m_timeout;
    Rule m_rule;
    qint64 m_seen = 0;
    double m_lastGrowth = 0;
};
