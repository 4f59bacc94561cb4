#include "hostgate.h"

#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHour = 3600;

} // namespace

HostGate::HostGate(SecondsClock clock)
    : m_clock(std::move(clock))
{
}

QString HostGate::hostOf(const QString& url)
{
    return QUrl(url.trimmed()).host().toLower();
}

double HostGate::now() const
{
    const double reading = m_clock();
    // Read every second by the scheduler's ticks, so a reading below the last
    // one means the day turned.
    if (m_lastReading >= 0 && reading + 1 < m_lastReading)
        m_days += kSecondsPerDay;
    m_lastReading = reading;
    return m_days + reading;
}

void HostGate::forgetOldStarts(HostState& state) const
{
    const double current = now();
    while (!state.StartsThisHour.empty() && current - state.StartsThisHour.front() >= kHour)
        state.StartsThisHour.pop_front();
}

double HostGate::secondsUntilStart(const QString& host) const
{
    const auto found = m_hosts.find(host);
    if (found == m_hosts.end())
        return 0;
    HostState& state = *found;
    forgetOldStarts(state);
    const double current = now();
    double wait = 0;
    if (state.NotBefore)
        wait = std::max(wait, *state.NotBefore - current);
    if (state.Started && m_pace.SecondsBetweenStarts > 0)
        wait = std::max(wait, state.LastStart + m_pace.SecondsBetweenStarts - current);
    if (m_pace.StartsPerHour > 0 && static_cast<int>(state.StartsThisHour.size()) >= m_pace.StartsPerHour)
        wait = std::max(wait, state.StartsThisHour.front() + kHour - current);
    return std::max(wait, 0.0);
}

void HostGate::started(const QString& host)
{
    HostState& state = m_hosts[host];
    forgetOldStarts(state);
    state.Started = true;
    state.LastStart = now();
    state.StartsThisHour.push_back(state.LastStart);
}

int HostGate::startsInLastHour(const QString& host) const
{
    const auto found = m_hosts.find(host);
    if (found == m_hosts.end())
        return 0;
    forgetOldStarts(*found);
    return static_cast<int>(found->StartsThisHour.size());
}

HostGate::SlowDown HostGate::slowDown(const QString& host, std::optional<double> retryAfter, int answersForTask)
{
    HostState& state = m_hosts[host];
    state.Refusals = 0;
    ++state.SlowDowns;
    SlowDown verdict;
    verdict.WaitSeconds = retryAfter
        ? std::max(*retryAfter, 0.0)
        : std::min(kFirstBackOffSeconds * std::pow(2.0, state.SlowDowns - 1), kLongestBackOffSeconds);
    verdict.FailTask = verdict.WaitSeconds > kLongestWaitSeconds || answersForTask >= kSlowDownsPerTask;
    // The host waits in either case: a failed task does not make the site willing.
    const double wait = std::min(verdict.WaitSeconds, kLongestWaitSeconds);
    state.NotBefore = now() + wait;
    state.PausedByRefusals = false;
    return verdict;
}

bool HostGate::refused(const QString& host)
{
    HostState& state = m_hosts[host];
    ++state.Refusals;
    if (state.Refusals < kRefusalsBeforePause)
        return false;
    state.Refusals = 0;
    state.NotBefore = now() + kRefusalPauseSeconds;
    state.PausedByRefusals = true;
    return true;
}

void HostGate::served(const QString& host)
{
    HostState& state = m_hosts[host];
    state.SlowDowns = 0;
    state.Refusals = 0;
}

double HostGate::waitSeconds(const QString& host) const
{
    const auto found = m_hosts.constFind(host);
    if (found == m_hosts.cend() || !found->NotBefore)
        return 0;
    return std::max(*found->NotBefore - now(), 0.0);
}

bool HostGate::pausedByRefusals(const QString& host) const
{
    const auto found = m_hosts.constFind(host);
    return found != m_hosts.cend() && found->PausedByRefusals;
}

QString HostGate::longestWaitingHost() const
{
    QString host;
    double longest = 0;
    for (auto it = m_hosts.cbegin(); it != m_hosts.cend(); ++it) {
        const double wait = waitSeconds(it.key());
        if (wait > longest) {
            longest = wait;
            host = it.key();
        }
    }
    return host;
}
