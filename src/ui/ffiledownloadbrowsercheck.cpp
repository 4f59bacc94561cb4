// The download window's side of the browser's transfers (whose factories
// the program gives the engine): the browser panel lent to a check that
// needs the user.

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
    for (BrowserTransferFactory* factory : {&m_services.BrowserTransfers, &m_services.BrowserRetries}) {
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
