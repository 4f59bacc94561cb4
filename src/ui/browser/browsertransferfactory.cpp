#include "browsertransferfactory.h"

#include "browserprofile.h"

#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

BrowserTransferFactory::BrowserTransferFactory(BrowserProfile& profile, const ProgramValues& values,
                                               SecondsClock clock, bool visitRefererFirst,
                                               BrowserTransfer::Timing timing, QObject* parent)
    : QObject(parent)
    , m_profile(profile)
    , m_values(values)
    , m_clock(std::move(clock))
    , m_visitRefererFirst(visitRefererFirst)
    , m_timing(timing)
{
    connect(profile.profile(), &QWebEngineProfile::downloadRequested, this,
            &BrowserTransferFactory::onDownloadRequested);
}

std::unique_ptr<Transfer> BrowserTransferFactory::createTransfer()
{
    auto transfer = std::make_unique<BrowserTransfer>(m_profile, *this, m_values, m_clock, m_timing,
                                                      m_visitRefererFirst);
    m_live.removeAll(nullptr);
    m_live.append(transfer.get());
    return transfer;
}

void BrowserTransferFactory::onDownloadRequested(QWebEngineDownloadRequest* request)
{
    // Requests of other pages (a link the user follows) are not ours to answer.
    for (const QPointer<BrowserTransfer>& transfer : std::as_const(m_live)) {
        if (transfer && transfer->takeDownload(request))
            return;
    }
}
