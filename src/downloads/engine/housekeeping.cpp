#include "housekeeping.h"

HousekeepingVerdict DecideHousekeeping(const HousekeepingFacts& facts, const SchedulerSwitches& switches)
{
    HousekeepingVerdict verdict;
    bool enabled = facts.SchedulerEnabled;
    if (facts.AllSettled) {
        verdict.StartMenuEnabled = true;
        if (enabled) {
            verdict.SwitchOff = true;
            verdict.FinishedSound = switches.Sounds;
            enabled = false;
        }
    } else {
        verdict.StartMenuEnabled = !enabled;
    }
    verdict.EnabledAfterSettling = enabled;
    if (switches.AutoStart && facts.UntouchedTasks >= 1) {
        verdict.AutoStart = true;
        enabled = true;
    }
    if (switches.AutoRedownload && !enabled) {
        verdict.RequeueFailed = switches.RedownloadChoice == 0 || switches.RedownloadChoice == 2;
        verdict.RequeueWebPages = switches.RedownloadChoice == 1 || switches.RedownloadChoice == 2;
        verdict.SwitchOnAfterRequeue = true;
    }
    return verdict;
}

bool StopsForBadResults(const SchedulerSwitches& switches, bool schedulerEnabled, int badResults)
{
    return switches.StopAfterBadResults && badResults >= 5 && schedulerEnabled;
}
