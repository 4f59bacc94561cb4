#pragma once

#include "downloads/list/savenaming.h"

class AppSettings;
class DownloadsController;
class UserPrompts;
struct ProgramValues;

// What the download window's controls show when it has loaded.
struct DownloadWindowStart {
    int Method = 2;               // "下载方式：2"
    bool ThreadCountEnabled = true;
    int ThreadPosition = 2;       // the entry of "1".."6" selected; -1 with the single-transfer method (text "1")
    DuplicatePolicy Policy = DuplicatePolicy::Rename;
};

// Which list commands a right-click leaves usable; they stay so, in the menu
// bar too, until the next right-click.
struct ListMenuStates {
    bool Clear = true;     // "清除"
    bool ClearAll = true;  // "清空"
    bool Stop = false;     // "停止下载"
    bool SelectAll = true; // "全选"
};

// The download window's own rules, without its widgets: the values it loads
// from the settings, what closing it saves and asks, and the right-click
// menu's states. The window binds its controls to these.
class DownloadWindowController final {
public:
    DownloadWindowController(DownloadsController& engine, ProgramValues& values, AppSettings& settings,
                             UserPrompts& prompts);

    // The window has loaded: the stored method, thread count, duplicate policy,
    // proxy and size limit are in force, the finish time is now and the
    // housekeeping tick runs.
    DownloadWindowStart load();

    // Transfers running, tasks not settled, or the scheduler on: closing then
    // needs the user's word.
    bool workGoingOn() const;

    // The window is asked to close. The policy and the method are saved first,
    // whatever follows; while work goes on the user is asked, and No keeps the
    // window (false). Otherwise the timers stop, every download is stopped and
    // the thread count is saved; the caller saves the placement.
    bool close();

    ListMenuStates listMenuStates() const;

private:
    DownloadsController& m_engine;
    ProgramValues& m_values;
    AppSettings& m_settings;
    UserPrompts& m_prompts;
};

inline constexpr char16_t kCloseWhileDownloading[] = u"正在下载文件或者下载没有完成，要强制关闭窗口吗？";
