#pragma once

#include "schedulerswitches.h"

// What the once-a-second housekeeping tick sees of the list and the scheduler.
struct HousekeepingFacts {
    bool AllSettled = false;       // no task waits or runs
    bool SchedulerEnabled = false;
    int UntouchedTasks = 0;        // waiting and never tried
};

// What the tick does, in the order it does it.
struct HousekeepingVerdict {
    bool StartMenuEnabled = true;     // "开始下载"
    bool SwitchOff = false;           // everything settled: the run is over
    bool EnabledAfterSettling = false; // what the running mark and the busy flag follow
    bool AutoStart = false;           // "当有待下载项时，自动启动下载" starts the run
    bool RequeueFailed = false;       // "自动重新下载：" queues failed tasks again,
    bool RequeueWebPages = false;     // or web-page results, or both,
    bool SwitchOnAfterRequeue = false; // and starts the run
    bool FinishedSound = false;       // the run ended by itself, with sounds on
};

// The rules of the tick before the bad-results rule: the run ends when
// everything is settled; waiting tasks start it again when asked; an idle run
// queues its failures again when asked.
HousekeepingVerdict DecideHousekeeping(const HousekeepingFacts& facts, const SchedulerSwitches& switches);

// The last rule, on the counts after any re-queueing: five bad results
// (failures or web pages) stop a running run from starting more.
bool StopsForBadResults(const SchedulerSwitches& switches, bool schedulerEnabled, int badResults);
