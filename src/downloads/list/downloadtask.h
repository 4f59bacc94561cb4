#pragma once

#include "taskoutcome.h"

#include "core/citation.h"

#include <QString>

#include <optional>

// A task's state; the numbers are the row icons' indexes and stay fixed.
enum class TaskState { Waiting = 1, Downloading = 2, Completed = 3, Failed = 4 };

// One file to fetch. Every column value is text as the list shows it: sizes
// are plain decimal byte counts, and Size and Progress may also hold outcome
// texts ("未知", "大文件，跳过", ...).
struct DownloadTask {
    QString Name;     // file base name, without extension
    QString Type;     // extension without the dot; may be empty
    QString Size;
    QString Received;
    QString Progress;
    QString Folder;   // save folder; made to end with a separator before a start
    QString ColumnB;  // never written by the program
    QString Url;      // the list's key: change it only through DownloadList::setUrl
    QString Referer;  // the result page the record came from; may be empty
    TaskState State = TaskState::Waiting;
    bool Selected = false; // the row is part of the list's selection

    // What the logic decides on; the texts above are only what the list shows.
    qint64 SizeBytes = -1;     // -1: no count (an empty Size, or a text such as "未知")
    qint64 ReceivedBytes = -1;
    TaskOutcome Outcome = TaskOutcome::None;

    // The article as the result page showed it, for a task handed over from
    // the analysis list; none for an address added by hand.
    std::optional<CitedArticle> Cited;

    friend bool operator==(const DownloadTask&, const DownloadTask&) = default;
};

// Size, Received and Progress from byte counts, as the list shows them: plain
// decimal counts and the integer percentage ("37%"). Refused (false, nothing
// changed) without a total or with more received than the total.
bool SetTaskBytes(DownloadTask& task, qint64 received, qint64 total);
// Size alone, as a byte count.
void SetTaskSize(DownloadTask& task, qint64 total);
// Empties Size, Received and Progress and forgets the last outcome.
void ClearTaskProgress(DownloadTask& task);

// Ends the task's attempt: the state the outcome means, and its text in
// Progress where it has one.
void SetTaskOutcome(DownloadTask& task, TaskOutcome outcome);

// Received over Size, from 0 to 1; -1 when either count is unknown.
double TaskFractionDone(const DownloadTask& task);

// Folder & Name & "." & Type, without the dot when Type is empty.
QString TaskFilePath(const DownloadTask& task);

// A web page arrived instead of a document: Type "htm" or "html", any letter case.
bool IsWebPageResult(const DownloadTask& task);

// Size, Received and Progress all empty: never started since it was queued.
bool IsUntouched(const DownloadTask& task);
