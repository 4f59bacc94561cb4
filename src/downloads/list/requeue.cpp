#include "requeue.h"

#include "downloadtablemodel.h"

#include "core/pathfunctions.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace {

bool hasType(const DownloadTask& task, std::initializer_list<QStringView> types)
{
    const QString lower = task.Type.toLower();
    return std::any_of(types.begin(), types.end(), [&](QStringView t) { return lower == t; });
}

} // namespace

bool IsFinishedTask(const DownloadTask& task)
{
    return task.State == TaskState::Completed || task.State == TaskState::Failed;
}

bool HasWebPageOrXmlType(const DownloadTask& task)
{
    return hasType(task, {u"htm", u"html", u"xml"});
}

void DeleteTaskFile(const DownloadTask& task)
{
    const QString path = TaskFilePath(task);
    if (FileExists(path))
        QFile::remove(path);
}

void RequeueTask(DownloadTask& task, bool xmlToo)
{
    DeleteTaskFile(task);
    task.State = TaskState::Waiting;
    if (hasType(task, {u"htm", u"html"}) || (xmlToo && hasType(task, {u"xml"})))
        task.Type = u"xxx"_s;
    ClearTaskProgress(task);
    // Removes a file an earlier attempt left under the "xxx" name.
    DeleteTaskFile(task);
}

void RequeueTasksWhere(DownloadTableModel& model, const std::function<bool(const DownloadTask&)>& picks, bool xmlToo)
{
    DownloadList& list = model.list();
    int first = 0;
    int last = 0;
    for (int p = 1; p <= list.count(); ++p) {
        DownloadTask& task = *list.TaskAt(p);
        if (!picks(task))
            continue;
        RequeueTask(task, xmlToo);
        first = first == 0 ? p : first;
        last = p;
    }
    if (first != 0)
        model.tasksChanged(first, last);
}

void RequeueFailedTasks(DownloadTableModel& model)
{
    RequeueTasksWhere(model, [](const DownloadTask& t) { return t.State == TaskState::Failed; }, false);
}

void RequeueWebPageTasks(DownloadTableModel& model)
{
    RequeueTasksWhere(model, [](const DownloadTask& t) { return HasWebPageOrXmlType(t) && IsFinishedTask(t); }, true);
}
