#pragma once

// What the list commands must know of the transfers: commands that move or
// remove tasks refuse while any runs, because running transfers hold task
// positions. The scheduler answers these.
class DownloadActivity {
public:
    virtual ~DownloadActivity() = default;

    // A transfer is loaded or running, or the scheduler is enabled.
    virtual bool DownloadsActive() const = 0;
    // The single-transfer method is inside a transfer.
    virtual bool TransferBusy() const = 0;
    // The scheduler's timer is on.
    virtual bool SchedulerEnabled() const = 0;
};
