#include "browsercachetools.h"

#include "dialogmessages.h"
#include "fiecache.h"

#include "core/userprompts.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

BrowserCacheTools::BrowserCacheTools(Services services)
    : m_services(std::move(services))
{
}

void BrowserCacheTools::ShowCacheViewer(QWidget* parent)
{
    fIEcache window({m_services.Cache, m_services.Homes, m_services.Settings, m_services.Prompts,
                     m_services.FolderHistoryFile},
                    parent);
    window.exec();
}

void BrowserCacheTools::ClearBrowserCache(bool showMessage)
{
    // The viewer's own rules, run without its window.
    CacheViewer viewer(m_services.Cache, m_services.Homes);
    viewer.ClearBrowserCache();
    if (showMessage)
        m_services.Prompts.showMessage(QString::fromUtf16(dialogmessages::kCacheCleared), MessageIcon::Information);
}

CacheViewer::Homes BrowserCacheTools::MachineHomes()
{
    return {{u"/home"_s}, {u"/root"_s}, QDir::homePath()};
}
