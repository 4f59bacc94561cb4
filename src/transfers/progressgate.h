#pragma once

#include <QElapsedTimer>

// Progress goes to the scheduler a few times a second at most: every report
// repaints a row, and a fast body would otherwise send thousands.
class ProgressGate final {
public:
    static constexpr qint64 kIntervalMs = 200;

    // True when a report may go now (the first one always may).
    bool open()
    {
        if (m_last.isValid() && m_last.elapsed() < kIntervalMs)
            return false;
        m_last.start();
        return true;
    }
    void reset() { m_last.invalidate(); }

private:
    QElapsedTimer m_last;
};
