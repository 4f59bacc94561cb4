#include "core/appsettings.h"
#include "core/browsercache.h"
#include "core/inisettingsstorage.h"
#include "core/machineregistry.h"
#include "core/programfolders.h"
#include "core/programnames.h"
#include "core/programvalues.h"
#include "core/startoptions.h"
#include "core/systemprobes.h"
#include "downloads/engine/cookiefile.h"
#include "downloads/engine/downloadscontroller.h"
#include "downloads/engine/programcookiejar.h"
#include "downloads/list/downloadlistfile.h"
#include "downloads/list/folderhistory.h"
#include "search/analysislistfile.h"
#include "ui/browser/browserprofile.h"
#include "ui/browser/cookiebridge.h"
#include "ui/browser/enginebrowsertransfers.h"
#include "ui/browsercachetools.h"
#include "ui/mainwindows.h"
#include "ui/platform/desktopshell.h"
#include "ui/platform/notifysoundplayer.h"
#include "ui/platform/qtuserprompts.h"
#include "ui/platform/toolkittranslation.h"

#include <QApplication>
#include <QWebEngineProfile>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Where the newest version's number is asked for. The project has no such
// server yet; while this is empty the start-up asks nothing.
const QString kVersionServer;

// Without a display the toolkit would abort with a message about its
// platform plugin; say plainly what is missing instead.
bool displayAvailable()
{
    const auto set = [](const char* name) { return !qEnvironmentVariableIsEmpty(name); };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const StartOptions options = ParseStartOptions(arguments);
    switch (options.Do) {
    case StartOptions::Action::ShowHelp:
        std::fputs(StartOptionsHelp().toLocal8Bit().constData(), stdout);
        return 0;
    case StartOptions::Action::ShowVersion:
        std::printf("%s %s\n", qPrintable(programnames::kApplication), qPrintable(CurrentProgramVersion().text()));
        return 0;
    case StartOptions::Action::Refuse:
        std::fprintf(stderr, "paperpull: %s\n%s", qPrintable(options.Error), qPrintable(StartOptionsHelp()));
        return 2;
    case StartOptions::Action::Run:
        break;
    }
    if (!displayAvailable()) {
        std::fprintf(stderr, "paperpull: no display to open its windows on (neither DISPLAY nor WAYLAND_DISPLAY "
                             "is set); start it from a desktop session, or under xvfb-run.\n");
        return 3;
    }
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // the browser's pages need it
    QApplication app(argc, argv);
    QApplication::setOrganizationName(programnames::kOrganisation);
    QApplication::setApplicationName(programnames::kApplication);
    QApplication::setApplicationVersion(CurrentProgramVersion().text());

    // Without it the message boxes still speak Chinese, through the program's own button texts.
    const ToolkitTranslation toolkitTexts;
    // Before the browser engine starts: it would end the program with a line of its own.
    const SandboxRefusal refusal = RefuseRootWithSandbox(
        ::geteuid() == 0, BrowserSandboxSwitchedOff(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"),
                                                    qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS")));
    if (!refusal.ForTerminal.isEmpty()) {
        std::fprintf(stderr, "paperpull: %s\n", qPrintable(refusal.ForTerminal));
        QtUserPrompts().showMessage(refusal.ForWindow, MessageIcon::Error);
        return 4;
    }

    IniSettingsStorage storage;
    AppSettings settings(storage, ProgramFolder());
    ProgramValues values;
    values.loadFrom(settings);

    // The transfers send the browser's identity, so the profile comes first.
    BrowserProfile browser;
    // The cookies of every browser and transfer, kept from run to run; the
    // jar outlives the window whose transfers use it.
    ProgramCookieJar cookies;
    cookies.attachFile(CookieFilePath());
    CookieBridge cookieBridge(cookies, *browser.profile()->cookieStore());
    QtUserPrompts prompts;
    DesktopShell desktop;
    NotifySoundPlayer sounds(ShippedFilesFolder(), ProgramDataFolder());

    // The cache is read from its files; only clearing it all goes through the running browser.
    BrowserCache cache(BrowserCache::EntryFolderOf(browser.cachePath()),
                       [&browser] { browser.profile()->clearHttpCache(); });
    BrowserCacheTools cacheTools(
        {cache, BrowserCacheTools::MachineHomes(), settings, prompts, FolderHistoryFilePath()});

    int exitCode = 0;
    {
        // The one engine: every transfer of the program, whichever window (or
        // none) asked for it, and the download list kept from run to run.
        DownloadsController engine(values, prompts, desktop, sounds,
                                   {.UserAgent = browser.httpUserAgent(), .CookieJar = &cookies});
        engine.keepListIn(downloadlistfile::DefaultPath());
        EngineBrowserTransfers browserTransfers(browser, engine);

        MainWindows windows({values, settings, prompts, desktop, sounds, browser, FolderHistoryFilePath(), kVersionServer,
                             options.HomePage, MachineRegistry::defaultFilePath(), engine, browserTransfers, nullptr,
                             &cacheTools, analysislistfile::DefaultPath()});
        // The cover ends the program; a main window closing brings it back instead.
        QApplication::setQuitOnLastWindowClosed(false);
        QObject::connect(&windows, &MainWindows::programEnded, &app, [] { QApplication::exit(0); });
        windows.start();
        exitCode = QApplication::exec();
    }
    // The pages of transfers the engine ended on its way out go before the
    // browser's profile they belong to.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return exitCode;
}
