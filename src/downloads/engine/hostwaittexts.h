#pragma once

#include <QString>

// What the download window says while a host waits, as its status bar and
// its question show it. The resume time is a reading of the scheduler's
// clock (seconds since midnight), shown as the time of day.

// The host asked to slow down: "网站 pubs.acs.org 要求放慢下载，12:03:40 后继续".
QString HostSlowDownStatusText(const QString& host, double resumeAt);
// The host refused three times in a row: "网站 pubs.acs.org 连续拒绝访问，暂停到 12:13:40".
QString HostPausedStatusText(const QString& host, double resumeAt);
// The once-a-run question before more than the bulk limit of files from one host in an hour.
QString BulkDownloadQuestion(const QString& host, int filesInLastHour);
// While that question waits for its answer: "等待您的回答：是否继续从 pubs.acs.org 下载".
QString BulkAnswerAwaitedStatusText(const QString& host);
