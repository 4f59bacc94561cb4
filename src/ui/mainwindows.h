#pragma once

#include "downloads/engine/downloadscontroller.h"
#include "search/handoff.h"

#include <QObject>
#include <QPointer>

#include <memory>

class AppSettings;
class BrowserCacheTools;
class EngineBrowserTransfers;
class BrowserProfile;
class fCover;
class fFileDownload;
class fWebSearch;
class NewVersionCheck;
class SaveFolderDialogPrompt;
class SaveFolderPrompt;
class Shell;
class SoundPlayer;
class UserPrompts;
struct ProgramValues;

// The program's windows and how they meet: the cover opens the search
// window (one, never two); the search window hands records to the download
// window, which is made when first needed; each brings the cover back when
// it closes and the other is not open; closing the cover ends the program.
class MainWindows final : public QObject, public DownloadWindowHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindows)

public:
    struct Services {
        ProgramValues& Values;
        AppSettings& Settings;
        UserPrompts& Prompts;
        Shell& Desktop;
        SoundPlayer& Sounds;
        BrowserProfile& Browser;
        QString FolderHistoryFile;
        QString VersionServer;  // where the new-version file lies; empty: not asked
        QString HomePage;       // the search window's first page
        QString MachineStore;   // the per-machine settings file
        // The program's engine and the browser's transfers given to it: built
        // before any window, they outlive every window.
        DownloadsController& Engine;
        EngineBrowserTransfers& BrowserTransfers;
        SaveFolderPrompt* SaveFolder = nullptr; // the save folder dialog when not given
        BrowserCacheTools* CacheTools = nullptr; // the browser cache viewer and its clearing
        QString AnalysisListFile{}; // where the search window keeps its list between runs; empty: not kept
    };

    explicit MainWindows(Services services, QObject* parent = nullptr);
    ~MainWindows() override;

    // The start: the cover shows, the system's name and the browser's
    // emulation level are set, the size limit is read, and the version check
    // follows a moment later.
    void start();

    fCover& cover() { return *m_cover; }
    fWebSearch* searchWindow() const;
    fFileDownload* downloadWindow() const;

    void showSearchWindow();

    // The search window's hand-off shows the window over the engine's list.
    void ShowDownloadWindow() override;

    // Options confirmed in any window: applied through the engine.
    void applyOptions(const ProgramValues& values);

signals:
    // Every window is closed; the caller ends the event loop.
    void programEnded();

private:
    fFileDownload& loadDownloadWindow();
    void endProgram();

    Services m_services;
    std::unique_ptr<NewVersionCheck> m_versionCheck;
    std::unique_ptr<SaveFolderDialogPrompt> m_saveFolderDialog;
    SaveFolderPrompt* m_saveFolder = nullptr;
    std::unique_ptr<fCover> m_cover;
    QPointer<fWebSearch> m_search;
    QPointer<fFileDownload> m_download;
};
