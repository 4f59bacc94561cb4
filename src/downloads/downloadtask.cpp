#include "downloadtask.h"

using namespace Qt::Literals::StringLiterals;

QString TaskFilePath(const DownloadTask& task)
{
    if (task.Type.isEmpty())
        return task.Folder + task.Name;
    return task.Folder + task.Name + u'.' + task.Type;
}

bool IsWebPageResult(const DownloadTask& task)
{
    return task.Type.compare(u"htm"_s, Qt::CaseInsensitive) == 0
        || task.Type.compare(u"html"_s, Qt::CaseInsensitive) == 0;
}

bool IsUntouched(const DownloadTask& task)
{
    return task.Size.isEmpty() && task.Received.isEmpty() && task.Progress.isEmpty();
}
