#include "enginebrowsertransfers.h"

#include "downloads/engine/downloadscontroller.h"

EngineBrowserTransfers::EngineBrowserTransfers(BrowserProfile& profile, DownloadsController& engine)
    : m_engine(engine)
    , m_transfers(profile, engine.values(), [&engine] { return engine.now(); }, false)
    , m_retries(profile, engine.values(), [&engine] { return engine.now(); }, true)
{
    m_engine.scheduler().setBrowserTransferFactories(&m_transfers, &m_retries);
}

EngineBrowserTransfers::~EngineBrowserTransfers()
{
    m_engine.scheduler().setBrowserTransferFactories(nullptr, nullptr);
}
