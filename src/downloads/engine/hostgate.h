#pragma once

#include "core/secondsclock.h"

#include <QHash>
#include <QString>

#include <deque>
#include <optional>

// The one place that decides when a transfer to a host may start, so that
// the program never hammers a site: per host the time before which nothing
// starts (from "Retry-After", from back-off, from the pace), the starts of
// the last hour and the run of refusals. Every transfer method asks it before
// it starts and tells it how the answer went. Its clock is the scheduler's.
class HostGate final {
public:
    struct Pace {
        double SecondsBetweenStarts = 1; // to the same host; 0 for none
        int StartsPerHour = 0;           // to the same host; 0 for no cap
    };

    // What a "slow down" answer (429, 503) means for its task.
    struct SlowDown {
        bool FailTask = false;  // wait over an hour, or the task's third such answer
        double WaitSeconds = 0; // before anything starts to the host again
    };

    static constexpr double kFirstBackOffSeconds = 10;
    static constexpr double kLongestBackOffSeconds = 600;
    static constexpr double kLongestWaitSeconds = 3600;
    static constexpr int kSlowDownsPerTask = 3;
    static constexpr int kRefusalsBeforePause = 3;
    static constexpr double kRefusalPauseSeconds = 600; // after that many plain refusals in a row

    explicit HostGate(SecondsClock clock);

    void setPace(const Pace& pace) { m_pace = pace; }
    const Pace& pace() const { return m_pace; }

    // 0 when a transfer to the host may start now, else the seconds until it may.
    double secondsUntilStart(const QString& host) const;
    void started(const QString& host);
    int startsInLastHour(const QString& host) const;

    // The host answered 429 or 503; retryAfter is what its header asked for.
    // answersForTask counts this one.
    SlowDown slowDown(const QString& host, std::optional<double> retryAfter, int answersForTask);
    // A 403 that is neither a bot check nor a sign-in page: true when this one
    // paused the host (the third in a row).
    bool refused(const QString& host);
    // Anything else: the host is willing again.
    void served(const QString& host);

    // The seconds left of the host's wait (after "slow down" or a pause), not
    // counting the pace; 0 when it does not wait.
    double waitSeconds(const QString& host) const;
    // Its wait comes from refusals in a row, not from "slow down".
    bool pausedByRefusals(const QString& host) const;
    // The host that has to wait the longest, if any waits: for the status bar.
    QString longestWaitingHost() const;

    // The host part of an address as the gate keys it ("pubs.acs.org").
    static QString hostOf(const QString& url);

private:
    struct HostState {
        std::optional<double> NotBefore; // on the gate's running count
        double LastStart = 0;
        bool Started = false;
        std::deque<double> StartsThisHour;
        int SlowDowns = 0; // in a row
        int Refusals = 0;  // in a row
        bool PausedByRefusals = false; // what set NotBefore last
    };

    // The clock as one running count of seconds: its readings start again
    // at midnight, the gate's waits and hours must not.
    double now() const;
    void forgetOldStarts(HostState& state) const;

    SecondsClock m_clock;
    mutable double m_lastReading = -1;
    mutable double m_days = 0;
    Pace m_pace;
    mutable QHash<QString, HostState> m_hosts;
};
