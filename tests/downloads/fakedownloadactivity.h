#pragma once

#include "downloads/list/downloadactivity.h"

// Answers the refusal questions as a test sets them.
struct FakeDownloadActivity final : DownloadActivity {
    bool active = false;
    bool busy = false;
    bool schedulerOn = false;

    bool DownloadsActive() const override { return active; }
    bool TransferBusy() const override { return busy; }
    bool SchedulerEnabled() const override { return schedulerOn; }
};
