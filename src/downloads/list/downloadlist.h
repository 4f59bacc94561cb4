#pragma once

#include "downloadtask.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

struct StateCounts {
    int Waiting = 0;
    int Downloading = 0;
    int Completed = 0;
    int Failed = 0;

    int total() const { return Waiting + Downloading + Completed + Failed; }
};

// The download window's tasks in list order, addressed by 1-based position and
// keyed by Url. Plain data: the window's table model mirrors it, the scheduler
// and the list commands work on it directly. Transfers keep positions, so
// nothing here reorders or removes tasks on its own.
class DownloadList final {
public:
    // Appends a Waiting task with empty progress columns; false (and the list
    // unchanged) when a task with that Url is already listed.
    bool AddTask(const QString& url, const QString& name, const QString& type, const QString& folder,
                 const QString& referer);

    int count() const { return static_cast<int>(m_tasks.size()); }
    bool isEmpty() const { return m_tasks.empty(); }

    // The task at a 1-based position; nullptr when there is none.
    DownloadTask* TaskAt(int position);
    const DownloadTask* TaskAt(int position) const;

    // 1-based position of the task with that Url, 0 when none has it.
    int positionOfUrl(const QString& url) const;

    // Gives a task another Url; refused (false) when another task has it.
    bool setUrl(int position, const QString& url);

    void SetState(int position, TaskState state);
    void ClearProgress(int position);

    int CountUntouchedTasks() const;
    bool AllTasksSettled() const;
    int CountBadResults() const;
    StateCounts CountByState() const;

    // Removes every task the predicate picks, keeping the others' order; one
    // pass however many go. Returns how many were removed.
    int removeIf(const std::function<bool(const DownloadTask&)>& picks);
    void clear();

    // Puts the tasks in a new order: order[i] is the zero-based old place of
    // the task that goes to place i; it must name every task once.
    void applyOrder(const std::vector<int>& order);

    // The current (focused) row, 1-based; 0 when there is none. It follows its
    // task through removals and reorderings.
    int currentPosition() const { return m_current; }
    void setCurrentPosition(int position);
    DownloadTask* currentTask() { return TaskAt(m_current); }

    const std::vector<DownloadTask>& tasks() const { return m_tasks; }

private:
    void rebuildIndex(const QString& currentUrl);

    std::vector<DownloadTask> m_tasks;
    QHash<QString, int> m_indexByUrl; // zero-based
    int m_current = 0;
};

// "总数:10 正在下载:2 等待:5 已完成:2 失败:1"
QString StatusCountersText(const StateCounts& counts);
