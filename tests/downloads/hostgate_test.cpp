#include "downloads/engine/hostgate.h"
#include "downloads/engine/retryafter.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(RetryAfter, SecondsAndHttpDates)
{
    // Just after a whole second: a date names a whole second, and the wait
    // lasts to its end, a number counts from now.
    const QDateTime now(QDate(2026, 12, 10), QTime(8, 0, 0, 250), Qt::UTC);
    const struct {
        const char* Label;
        QString Value;
        std::optional<double> Seconds;
    } cases[] = {
        {"seconds", u"120"_s, 120},
        {"padded_seconds", u"  5 "_s, 5},
        {"fixed_date", u"Thu, 10 Dec 2026 08:00:42 GMT"_s, 42.75},
        {"older_date", u"Thursday, 10-Dec-26 08:01:00 GMT"_s, 60.75},
        {"c_library_date", u"Thu Dec 10 08:10:00 2026"_s, 600.75},
        {"date_three_seconds_on", u"Thu, 10 Dec 2026 08:00:03 GMT"_s, 3.75},
        {"date_of_this_second", u"Thu, 10 Dec 2026 08:00:00 GMT"_s, 0.75},
        {"date_of_the_last_second", u"Thu, 10 Dec 2026 07:59:59 GMT"_s, 0},
        {"date_past", u"Thu, 10 Dec 2026 07:00:00 GMT"_s, 0},
        {"negative", u"-5"_s, std::nullopt},
        {"fraction", u"1.5"_s, std::nullopt},
        {"words", u"soon"_s, std::nullopt},
        {"empty", u""_s, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RetryAfterSeconds(c.Value, now), c.Seconds) << c.Label;
}

class HostGateTest : public ::testing::Test {
protected:
    double clock = 1000;
    HostGate gate{[this] { return clock; }};
    const QString site = u"pubs.example.org"_s;
    const QString other = u"other.example.org"_s;
};

TEST_F(HostGateTest, PaceSpacesTheStartsToOneHostOnly)
{
    gate.setPace({2, 0});
    EXPECT_EQ(gate.secondsUntilStart(site), 0);
    gate.started(site);
    EXPECT_EQ(gate.secondsUntilStart(site), 2);
    EXPECT_EQ(gate.secondsUntilStart(other), 0);
    clock += 2;
    EXPECT_EQ(gate.secondsUntilStart(site), 0);

    gate.setPace({0, 0});
    gate.started(site);
    EXPECT_EQ(gate.secondsUntilStart(site), 0); // no pace: six at once
}

TEST_F(HostGateTest, HourlyCapCountsTheLastHour)
{
    gate.setPace({0, 3});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gate.secondsUntilStart(site), 0) << i;
        gate.started(site);
        clock += 10;
    }
    EXPECT_EQ(gate.secondsUntilStart(site), 3600 - 30); // until the first start is an hour old
    clock = 1000 + 3600;
    EXPECT_EQ(gate.secondsUntilStart(site), 0);
    EXPECT_EQ(gate.startsInLastHour(site), 2);
}

TEST_F(HostGateTest, SlowDownWaitsForTheHostAndBacksOff)
{
    const struct {
        std::optional<double> RetryAfter;
        int ForTask;
        double Wait;
        bool Fails;
    } answers[] = {
        {std::nullopt, 1, 10, false},
        {std::nullopt, 2, 20, false},
        {std::nullopt, 1, 40, false},
        {30, 1, 30, false},       // the header wins over the back-off
        {7200, 1, 7200, true},    // over an hour: the task fails
        {std::nullopt, 3, 320, true}, // the task's third such answer; the host's sixth
    };
    for (const auto& a : answers) {
        const HostGate::SlowDown verdict = gate.slowDown(site, a.RetryAfter, a.ForTask);
        EXPECT_EQ(verdict.WaitSeconds, a.Wait);
        EXPECT_EQ(verdict.FailTask, a.Fails);
        EXPECT_EQ(gate.secondsUntilStart(site), std::min(a.Wait, 3600.0));
        EXPECT_EQ(gate.secondsUntilStart(other), 0); // other hosts go on
    }
    for (int i = 0; i < 10; ++i)
        gate.slowDown(site, std::nullopt, 1);
    EXPECT_EQ(gate.slowDown(site, std::nullopt, 1).WaitSeconds, 600); // at most ten minutes
    gate.served(site);
    EXPECT_EQ(gate.slowDown(site, std::nullopt, 1).WaitSeconds, 10); // willing again: the back-off starts over
}

TEST_F(HostGateTest, WaitsAndHoursCrossMidnight)
{
    clock = 86390;
    gate.slowDown(site, 30, 1);
    EXPECT_EQ(gate.secondsUntilStart(site), 30);
    clock = 5; // fifteen seconds later, past midnight
    EXPECT_EQ(gate.secondsUntilStart(site), 15);
    clock = 25;
    EXPECT_EQ(gate.secondsUntilStart(site), 0);
    // Half a day later nothing waits again.
    clock = 43300;
    EXPECT_EQ(gate.secondsUntilStart(site), 0);
}

TEST_F(HostGateTest, ThreePlainRefusalsInARowPauseTheHost)
{
    EXPECT_FALSE(gate.refused(site));
    EXPECT_FALSE(gate.refused(site));
    gate.served(site); // the run is broken
    EXPECT_FALSE(gate.refused(site));
    EXPECT_FALSE(gate.refused(site));
    EXPECT_TRUE(gate.refused(site));
    EXPECT_EQ(gate.secondsUntilStart(site), HostGate::kLongestBackOffSeconds);
    EXPECT_EQ(gate.longestWaitingHost(), site);
}

TEST(HostGate, HostOfAnAddress)
{
    EXPECT_EQ(HostGate::hostOf(u" https://PUBS.acs.org/doi/pdf/10.1021/x "_s), u"pubs.acs.org"_s);
    EXPECT_EQ(HostGate::hostOf(u"http://127.0.0.1:8080/a"_s), u"127.0.0.1"_s);
}

} // namespace
