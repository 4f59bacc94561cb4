#pragma once

// Services the scheduler calls out to that live in other parts of the window.

// The site login of the download window's browser.
class AutoLogin {
public:
    virtual ~AutoLogin() = default;
    // Signs in to the site; silent: without messages.
    virtual void LoginToSite(bool silent) = 0;
};

// The single-transfer method (one transfer at a time, through the proxy). It
// reads and writes the scheduler's engine state while it runs.
class SingleTransferEngine {
public:
    virtual ~SingleTransferEngine() = default;
    // Runs the transfer of the task at this position; returns at once, the
    // transfer goes on asynchronously.
    virtual void StartInetTask(int position) = 0;
    virtual bool StillExecuting() const = 0;
    virtual void Cancel() = 0;
};
