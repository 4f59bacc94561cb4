#include "downloadlist.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

bool DownloadList::AddTask(const QString& url, const QString& name, const QString& type, const QString& folder,
                           const QString& referer)
{
    if (m_indexByUrl.contains(url))
        return false;
    DownloadTask task;
    task.Url = url;
    task.Name = name;
    task.Type = type;
    task.Folder = folder;
    task.Referer = referer;
    m_indexByUrl.insert(url, count());
    m_tasks.push_back(std::move(task));
    return true;
}

DownloadTask* DownloadList::TaskAt(int position)
{
    if (position < 1 || position > count())
        return nullptr;
    return &m_tasks[static_cast<size_t>(position - 1)];
}

const DownloadTask* DownloadList::TaskAt(int position) const
{
    return const_cast<DownloadList*>(this)->TaskAt(position);
}

int DownloadList::positionOfUrl(const QString& url) const
{
    const auto found = m_indexByUrl.constFind(url);
    return found == m_indexByUrl.cend() ? 0 : *found + 1;
}

bool DownloadList::setUrl(int position, const QString& url)
{
    DownloadTask* task = TaskAt(position);
    if (task == nullptr)
        return false;
    if (task->Url == url)
        return true;
    if (m_indexByUrl.contains(url))
        return false;
    m_indexByUrl.remove(task->Url);
    task->Url = url;
    m_indexByUrl.insert(url, position - 1);
    return true;
}

void DownloadList::SetState(int position, TaskState state)
{
    if (DownloadTask* task = TaskAt(position))
        task->State = state;
}

void DownloadList::ClearProgress(int position)
{
    if (DownloadTask* task = TaskAt(position))
        ClearTaskProgress(*task);
}

int DownloadList::CountUntouchedTasks() const
{
    return static_cast<int>(std::count_if(m_tasks.begin(), m_tasks.end(), IsUntouched));
}

bool DownloadList::AllTasksSettled() const
{
    return std::all_of(m_tasks.begin(), m_tasks.end(), [](const DownloadTask& task) {
        return task.State == TaskState::Completed || task.State == TaskState::Failed;
    });
}

int DownloadList::CountBadResults() const
{
    return static_cast<int>(std::count_if(m_tasks.begin(), m_tasks.end(), [](const DownloadTask& task) {
        // A host that asked to slow down is busy: stopping would not help it.
        const bool slowedDown
            = task.Outcome == TaskOutcome::SlowDownRepeated || task.Outcome == TaskOutcome::SlowDownTooLong;
        return IsWebPageResult(task) || (task.State == TaskState::Failed && !slowedDown);
    }));
}

StateCounts DownloadList::CountByState() const
{
    StateCounts counts;
    for (const DownloadTask& task : m_tasks) {
        switch (task.State) {
        case TaskState::Waiting: ++counts.Waiting; break;
        case TaskState::Downloading: ++counts.Downloading; break;
        case TaskState::Completed: ++counts.Completed; break;
        case TaskState::Failed: ++counts.Failed; break;
        }
    }
    return counts;
}

int DownloadList::removeIf(const std::function<bool(const DownloadTask&)>& picks)
{
    const auto firstRemoved = std::remove_if(m_tasks.begin(), m_tasks.end(), picks);
    const int removed = static_cast<int>(std::distance(firstRemoved, m_tasks.end()));
    if (removed == 0)
        return 0;
    const QString currentUrl = m_current > 0 ? TaskAt(m_current)->Url : QString();
    m_tasks.erase(firstRemoved, m_tasks.end());
    rebuildIndex(currentUrl);
    return removed;
}

void DownloadList::clear()
{
    m_tasks.clear();
    m_indexByUrl.clear();
    m_current = 0;
}

void DownloadList::applyOrder(const std::vector<int>& order)
{
    if (order.size() != m_tasks.size())
        return;
    const QString currentUrl = m_current > 0 ? TaskAt(m_current)->Url : QString();
    std::vector<DownloadTask> reordered;
    reordered.reserve(m_tasks.size());
    for (const int old : order)
        reordered.push_back(std::move(m_tasks[static_cast<size_t>(old)]));
    m_tasks = std::move(reordered);
    rebuildIndex(currentUrl);
}

void DownloadList::setCurrentPosition(int position)
{
    m_current = (position >= 1 && position <= count()) ? position : 0;
}

void DownloadList::rebuildIndex(const QString& currentUrl)
{
    m_indexByUrl.clear();
    m_indexByUrl.reserve(count());
    for (int i = 0; i < count(); ++i)
        m_indexByUrl.insert(m_tasks[static_cast<size_t>(i)].Url, i);
    m_current = currentUrl.isNull() ? 0 : positionOfUrl(currentUrl);
}

QString StatusCountersText(const StateCounts& counts)
{
    return u"总数:"_s + QString::number(counts.total()) + u" 正在下载:"_s + QString::number(counts.Downloading)
        + u" 等待:"_s + QString::number(counts.Waiting) + u" 已完成:"_s + QString::number(counts.Completed)
        + u" 失败:"_s + QString::number(counts.Failed);
}
