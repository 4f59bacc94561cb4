#include "mainwindows.h"

#include "browsercachetools.h"
#include "fcover.h"
#include "ffiledownload.h"
#include "fwebsearch.h"
#include "newversioncheck.h"
#include "savefolderdialogprompt.h"

#include "core/appsettings.h"
#include "core/machineregistry.h"
#include "core/programnames.h"
#include "core/programvalues.h"
#include "core/systemprobes.h"
#include "ui/browser/browserprofile.h"
#include "ui/browser/enginebrowsertransfers.h"

#include <QWindow>

using namespace Qt::Literals::StringLiterals;

MainWindows::MainWindows(Services services, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_versionCheck(std::make_unique<NewVersionCheck>(
          NetworkContext{&m_services.Engine.httpLayer(), nullptr, m_services.Browser.httpUserAgent()},
          m_services.VersionServer))
    , m_saveFolderDialog(std::make_unique<SaveFolderDialogPrompt>(m_services.Values, m_services.Settings,
                                                                  m_services.Prompts, m_services.FolderHistoryFile))
    , m_saveFolder(m_services.SaveFolder != nullptr ? m_services.SaveFolder : m_saveFolderDialog.get())
{
    m_cover = std::make_unique<fCover>(*m_versionCheck, m_services.Desktop,
                                       fCover::Actions{[this] { showSearchWindow(); }, [this] { endProgram(); }});
}

MainWindows::~MainWindows()
{
    // The windows go before the profile their pages belong to.
    delete m_search.data();
    delete m_download.data();
}

fWebSearch* MainWindows::searchWindow() const
{
    return m_search;
}

fFileDownload* MainWindows::downloadWindow() const
{
    return m_download;
}

void MainWindows::start()
{
    m_cover->show();
    GetSystemVersionName(); // computed once, kept for the about boxes
    MachineRegistry machine(m_services.MachineStore);
    SetBrowserEmulation(machine, programnames::kApplication, u"IE10"_s, true);
    m_services.Values.MaxFileSizeMB = m_services.Settings.maxFileSizeMB();
}

void MainWindows::showSearchWindow()
{
    if (m_search == nullptr) {
        fWebSearch::Services services{m_services.Values, m_services.Settings, m_services.Prompts,
                                      m_services.Desktop, m_services.Browser, *m_saveFolder,
                                      m_services.Engine.model(), *this};
        services.ApplyOptions = [this](const ProgramValues& values) { applyOptions(values); };
        if (!m_services.HomePage.isEmpty())
            services.HomePage = m_services.HomePage;
        services.ListFile = m_services.AnalysisListFile;
        m_search = new fWebSearch(std::move(services));
        m_search->setAttribute(Qt::WA_DeleteOnClose);
        m_search->setCover(m_cover.get());
        if (BrowserCacheTools* tools = m_services.CacheTools) {
            QPointer<fWebSearch> window = m_search;
            m_search->setCacheCommands([tools, window] { tools->ShowCacheViewer(window); },
                                       [tools] { tools->ClearBrowserCache(true); });
        }
    }
    m_cover->hide();
    m_search->show();
    m_search->raise();
    m_search->activateWindow();
}

fFileDownload& MainWindows::loadDownloadWindow()
{
    if (m_download == nullptr) {
        m_download = new fFileDownload({m_services.Values, m_services.Settings, m_services.Prompts,
                                        m_services.Desktop, m_services.Sounds, m_services.FolderHistoryFile,
                                        m_services.Browser, m_services.Engine,
                                        m_services.BrowserTransfers.transfers(),
                                        m_services.BrowserTransfers.retries()});
        m_download->setAttribute(Qt::WA_DeleteOnClose);
        m_download->setCover(m_cover.get());
        m_download->setSearchWindowOpener([this] { showSearchWindow(); });
        m_download->setCacheTools(m_services.CacheTools);
    }
    return *m_download;
}

void MainWindows::ShowDownloadWindow()
{
    fFileDownload& window = loadDownloadWindow();
    m_cover->hide();
    if (window.isMinimized())
        window.showMaximized();
    else if (!window.isVisible())
        window.showAsPlaced();
    window.raise();
    window.activateWindow();
}

void MainWindows::applyOptions(const ProgramValues& values)
{
    m_services.Engine.applyOptions(values);
}

void MainWindows::endProgram()
{
    // At once: no window asks anything, whatever runs.
    delete m_search.data();
    delete m_download.data();
    emit programEnded();
}
