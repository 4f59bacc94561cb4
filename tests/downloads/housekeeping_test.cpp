#include "downloads/engine/housekeeping.h"

#include <gtest/gtest.h>

namespace {

SchedulerSwitches switches(bool autoStart, bool autoRedownload, int choice, bool sounds)
{
    SchedulerSwitches s;
    s.AutoStart = autoStart;
    s.AutoRedownload = autoRedownload;
    s.RedownloadChoice = choice;
    s.Sounds = sounds;
    return s;
}

TEST(HousekeepingTest, TheTicksRulesInTheirOrder)
{
    const struct {
        const char* Label;
        HousekeepingFacts Facts;
        SchedulerSwitches Switches;
        HousekeepingVerdict Expected;
    } cases[] = {
        {"settled_run_ends_with_its_sound", {true, true, 0}, switches(false, false, 0, true),
         {.StartMenuEnabled = true, .SwitchOff = true, .FinishedSound = true}},
        {"settled_and_already_off_stays_quiet", {true, false, 0}, switches(false, false, 0, true),
         {.StartMenuEnabled = true}},
        {"running_keeps_start_greyed", {false, true, 3}, switches(false, false, 0, false),
         {.StartMenuEnabled = false, .EnabledAfterSettling = true}},
        {"idle_with_waiting_tasks_offers_start", {false, false, 3}, switches(false, false, 0, false),
         {.StartMenuEnabled = true}},
        {"auto_start_takes_untouched_tasks", {false, false, 2}, switches(true, false, 0, false),
         {.StartMenuEnabled = true, .AutoStart = true}},
        {"auto_start_needs_an_untouched_task", {false, false, 0}, switches(true, false, 0, false),
         {.StartMenuEnabled = true}},
        // A run that auto-start just began is not idle: nothing is queued again.
        {"auto_start_before_redownload", {false, false, 1}, switches(true, true, 2, false),
         {.StartMenuEnabled = true, .AutoStart = true}},
        {"idle_redownloads_failures", {true, false, 0}, switches(false, true, 0, false),
         {.StartMenuEnabled = true, .RequeueFailed = true, .SwitchOnAfterRequeue = true}},
        {"idle_redownloads_web_pages", {true, false, 0}, switches(false, true, 1, false),
         {.StartMenuEnabled = true, .RequeueWebPages = true, .SwitchOnAfterRequeue = true}},
        // The run that just ended is idle again in the same tick.
        {"ended_run_redownloads_both", {true, true, 0}, switches(false, true, 2, false),
         {.StartMenuEnabled = true, .SwitchOff = true, .RequeueFailed = true, .RequeueWebPages = true,
          .SwitchOnAfterRequeue = true}},
        {"running_does_not_redownload", {false, true, 0}, switches(false, true, 2, false),
         {.StartMenuEnabled = false, .EnabledAfterSettling = true}},
    };
    for (const auto& c : cases) {
        const HousekeepingVerdict v = DecideHousekeeping(c.Facts, c.Switches);
        const HousekeepingVerdict& e = c.Expected;
        EXPECT_EQ(v.StartMenuEnabled, e.StartMenuEnabled) << c.Label;
        EXPECT_EQ(v.SwitchOff, e.SwitchOff) << c.Label;
        EXPECT_EQ(v.EnabledAfterSettling, e.EnabledAfterSettling) << c.Label;
        EXPECT_EQ(v.AutoStart, e.AutoStart) << c.Label;
        EXPECT_EQ(v.RequeueFailed, e.RequeueFailed) << c.Label;
        EXPECT_EQ(v.RequeueWebPages, e.RequeueWebPages) << c.Label;
        EXPECT_EQ(v.SwitchOnAfterRequeue, e.SwitchOnAfterRequeue) << c.Label;
        EXPECT_EQ(v.FinishedSound, e.FinishedSound) << c.Label;
    }
}

TEST(HousekeepingTest, FiveBadResultsStopARunningRunOnlyWhenAsked)
{
    SchedulerSwitches asked;
    asked.StopAfterBadResults = true;
    EXPECT_TRUE(StopsForBadResults(asked, true, 5));
    EXPECT_FALSE(StopsForBadResults(asked, true, 4));
    EXPECT_FALSE(StopsForBadResults(asked, false, 9)); // nothing running to stop
    EXPECT_FALSE(StopsForBadResults(SchedulerSwitches{}, true, 9));
}

} // namespace
