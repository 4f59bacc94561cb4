#pragma once

#include "core/cacheviewer.h"

#include <QString>

class AppSettings;
class BrowserCache;
class QWidget;
class UserPrompts;

// The browser cache commands of both main windows' tools menus: main() builds
// one, and a window opens the viewer or clears the cache with one call.
class BrowserCacheTools final {
public:
    struct Services {
        BrowserCache& Cache;
        CacheViewer::Homes Homes;
        AppSettings& Settings;
        UserPrompts& Prompts;
        QString FolderHistoryFile;
    };

    explicit BrowserCacheTools(Services services);

    // "查看IE浏览器缓存": the viewer, modal over parent.
    void ShowCacheViewer(QWidget* parent);
    // "清空IE浏览器缓存" (the menus pass true).
    void ClearBrowserCache(bool showMessage);

    // The homes of this machine: those below /home, and root's.
    static CacheViewer::Homes MachineHomes();

private:
    Services m_services;
};
