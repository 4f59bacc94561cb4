// The download window's side of the browser's transfers: the factories the
// engine runs method 3 and the fallback with, and the browser panel lent to
// a check that needs the user.

#include "controlnames.h"
#include "ffiledownload.h"

#include "ui/browser/browserpage.h"
#include "ui/browser/browsertransferfactory.h"

#include <QLabel>
#include <QWebEngineView>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kUserCheckText = u"网页验证：请在下方网页中完成验证，下载随后继续"_s;

} // namespace

void fFileDownload::bindBrowserTransfers()
{
    const SecondsClock clock = [this] { return m_engine.now(); };
    m_browserTransfers
        = std::make_unique<BrowserTransferFactory>(m_services.Browser, m_services.Values, clock, false);
    m_browserRetries = std::make_unique<BrowserTransferFactory>(m_services.Browser, m_services.Values, clock, true);
    m_engine.scheduler().setBrowserTransferFactories(m_browserTransfers.get(), m_browserRetries.get());
    for (BrowserTransferFactory* factory : {m_browserTransfers.get(), m_browserRetries.get()}) {
        connect(factory, &BrowserTransferFactory::userCheckNeeded, this, &fFileDownload::showUserCheck);
        connect(factory, &BrowserTransferFactory::userCheckOver, this, &fFileDownload::userCheckOver);
    }
}

void fFileDownload::showUserCheck(QWebEnginePage* page)
{
    m_userChecks.removeAll(nullptr);
    if (!m_userChecks.contains(page))
        m_userChecks.append(page);
    if (Web1->page() == m_userChecks.first())
        return;
    Web1->setPage(m_userChecks.first());
    PicWebBK->show();
    PicWebBK->raise();
    StatusPanels[2]->setText(kUserCheckText);
}

void fFileDownload::userCheckOver(QWebEnginePage* page)
{
    m_userChecks.removeAll(page);
    m_userChecks.removeAll(nullptr);
    if (Web1->page() != page)
        return;
    if (!m_userChecks.isEmpty()) {
        Web1->setPage(m_userChecks.first());
        return;
    }
    Web1->setPage(m_loginPage);
    PicWebBK->hide();
    StatusPanels[2]->clear();
}
