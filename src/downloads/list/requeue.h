#pragma once

#include <functional>

class DownloadTableModel;
struct DownloadTask;

// Putting finished tasks back in the queue. Below both the list commands and
// the scheduler's automatic re-download, which share these rules.

// Deletes the task's file if there is one; failures are ignored.
void DeleteTaskFile(const DownloadTask& task);

// Puts a finished task back in the queue: its file deleted, Waiting, progress
// columns emptied, and a web page type ("htm", "html"; with xmlToo also "xml")
// turned into "xxx" so that it no longer counts as a web page result.
void RequeueTask(DownloadTask& task, bool xmlToo = false);

// Re-queues, in place, every task the predicate picks; one change signal.
void RequeueTasksWhere(DownloadTableModel& model, const std::function<bool(const DownloadTask&)>& picks,
                       bool xmlToo);

// The two re-downloads the scheduler's automatic re-download also runs: all
// failed tasks; all finished web page tasks ("htm", "html", "xml").
void RequeueFailedTasks(DownloadTableModel& model);
void RequeueWebPageTasks(DownloadTableModel& model);

// Completed or Failed.
bool IsFinishedTask(const DownloadTask& task);
// "htm", "html" or "xml" in any letter case: the types the web page commands act on.
bool HasWebPageOrXmlType(const DownloadTask& task);
