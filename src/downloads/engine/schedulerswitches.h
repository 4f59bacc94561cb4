#pragma once

#include "downloads/list/savenaming.h"

// The download window's switches, as plain values the window binds to.
struct SchedulerSwitches {
    int ThreadCount = 3;             // "线程数：" 1..6
    int IntervalSeconds = 0;         // "两个文件下载间隔："
    bool AutoStart = false;          // "当有待下载项时，自动启动下载"
    bool AutoRedownload = false;     // "自动重新下载："
    int RedownloadChoice = 0;        // 0 failed, 1 web pages, 2 both
    bool StopAfterBadResults = false; // "有5个以上下载出错或者网页文件，就停止下载"
    bool Sounds = false;             // "声音提示"
    bool AutoLocate = false;         // "自动定位到下载项"
    bool AutoLogin = false;          // "自动登录"
    DuplicatePolicy Policy = DuplicatePolicy::Rename;
};
