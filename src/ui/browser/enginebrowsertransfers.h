#pragma once

#include "browsertransferfactory.h"

class DownloadsController;

// The browser's two kinds of transfer, given to the program's engine once,
// when both are built: method 3's (the task's address at once) and the
// fallback's of the other methods (through the result page first). Windows
// show the pages of a check that needs the user; the transfers are not
// theirs.
class EngineBrowserTransfers final {
    Q_DISABLE_COPY_MOVE(EngineBrowserTransfers)

public:
    EngineBrowserTransfers(BrowserProfile& profile, DownloadsController& engine);
    // Taken back from the engine, which may outlive them.
    ~EngineBrowserTransfers();

    BrowserTransferFactory& transfers() { return m_transfers; }
    BrowserTransferFactory& retries() { return m_retries; }

private:
    DownloadsController& m_engine;
    BrowserTransferFactory m_transfers;
    BrowserTransferFactory m_retries;
};
