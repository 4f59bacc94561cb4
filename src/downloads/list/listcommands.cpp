#include "listcommands.h"

#include "downloadactivity.h"
#include "downloadtablemodel.h"
#include "filetypedetection.h"
#include "listmessages.h"
#include "requeue.h"

#include "core/citationfile.h"
#include "core/leftoverfiles.h"
#include "core/legacytext.h"
#include "core/pathfunctions.h"
#include "core/shell.h"
#include "core/userprompts.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;
using namespace listmessages;

namespace {

QString text(const char16_t* message)
{
    return QString::fromUtf16(message);
}

// The path the open commands use: with the dot even for an empty type.
QString dottedPath(const DownloadTask& task)
{
    return task.Folder + task.Name + u'.' + task.Type;
}

} // namespace

DownloadListCommands::DownloadListCommands(DownloadTableModel& model, const DownloadActivity& activity,
                                           UserPrompts& prompts, Shell& shell, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_activity(activity)
    , m_prompts(prompts)
    , m_shell(shell)
{
}

bool DownloadListCommands::refuseWhileActive()
{
    if (!m_activity.DownloadsActive())
        return false;
    m_prompts.showMessage(text(kStopDownloadsFirst), MessageIcon::Information);
    return true;
}

void DownloadListCommands::setAllSelected(bool selected)
{
    DownloadList& list = m_model.list();
    for (int p = 1; p <= list.count(); ++p)
        list.TaskAt(p)->Selected = selected;
    m_model.tasksChanged(1, list.count());
}

void DownloadListCommands::SelectAllTasks()
{
    setAllSelected(true);
}

void DownloadListCommands::SelectNoTasks()
{
    setAllSelected(false);
}

void DownloadListCommands::setTaskSelected(int position, bool selected)
{
    if (DownloadTask* task = m_model.list().TaskAt(position)) {
        task->Selected = selected;
        m_model.taskChanged(position);
    }
}

void DownloadListCommands::RedownloadSelectedTasks()
{
    RequeueTasksWhere(m_model, [](const DownloadTask& t) { return t.Selected && IsFinishedTask(t); }, false);
}

void DownloadListCommands::RedownloadFailedTasks()
{
    RequeueFailedTasks(m_model);
}

void DownloadListCommands::RedownloadWebPageTasks()
{
    RequeueWebPageTasks(m_model);
}

void DownloadListCommands::RedownloadFailedAndWebPageTasks()
{
    RequeueTasksWhere(m_model, [](const DownloadTask& t) {
        return t.State == TaskState::Failed || (IsWebPageResult(t) && IsFinishedTask(t));
    }, false);
}

void DownloadListCommands::RedownloadSmallTasks()
{
    const std::optional<QString> answer = m_prompts.askText(text(kAskNumber));
    if (!answer)
        return;
    // The typed number may carry grouping commas, as the list once showed sizes.
    bool typed = false;
    const double limit = QString(*answer).remove(u',').trimmed().toDouble(&typed);
    if (!typed)
        return;
    RequeueTasksWhere(m_model, [limit](const DownloadTask& t) {
        return t.SizeBytes >= 0 && t.ReceivedBytes == t.SizeBytes && static_cast<double>(t.SizeBytes) < limit
            && IsFinishedTask(t);
    }, false);
}

template <typename Picks>
void DownloadListCommands::clearWhere(Picks picks)
{
    if (refuseWhileActive())
        return;
    m_model.changeAll([&](DownloadList& list) { list.removeIf(picks); });
}

void DownloadListCommands::ClearSelectedTasks()
{
    clearWhere([](const DownloadTask& t) { return t.Selected; });
}

void DownloadListCommands::ClearFailedTasks()
{
    clearWhere([](const DownloadTask& t) { return t.State == TaskState::Failed; });
}

void DownloadListCommands::ClearCompletedTasks()
{
    clearWhere([](const DownloadTask& t) { return t.State == TaskState::Completed; });
}

void DownloadListCommands::ClearAllTasks()
{
    if (refuseWhileActive())
        return;
    if (!m_prompts.askYesNo(text(kConfirmClearAll), MessageIcon::None))
        return;
    m_model.changeAll([](DownloadList& list) { list.clear(); });
}

template <typename Picks>
void DownloadListCommands::deleteFilesWhere(Picks picks)
{
    for (const DownloadTask& task : m_model.list().tasks()) {
        if (picks(task))
            DeleteTaskFile(task);
    }
}

void DownloadListCommands::DeleteWebPageFiles()
{
    deleteFilesWhere([](const DownloadTask& t) { return HasWebPageOrXmlType(t) && IsFinishedTask(t); });
}

void DownloadListCommands::DeleteFailedFiles()
{
    deleteFilesWhere([](const DownloadTask& t) { return t.State == TaskState::Failed; });
}

void DownloadListCommands::CancelSelectedTasks()
{
    if (m_activity.TransferBusy()) {
        m_prompts.showMessage(text(kStopBeforeSetting), MessageIcon::Error);
        return;
    }
    DownloadList& list = m_model.list();
    for (int p = 1; p <= list.count(); ++p) {
        DownloadTask& task = *list.TaskAt(p);
        if (task.Selected && task.State == TaskState::Waiting) {
            task.State = TaskState::Failed;
            m_model.taskChanged(p);
        }
    }
}

QString DownloadListCommands::currentTaskFile()
{
    const DownloadTask* task = m_model.list().currentTask();
    if (task == nullptr)
        return {};
    const QString path = dottedPath(*task);
    if (FileExists(path))
        return path;
    m_prompts.showMessage(text(kTaskFileMissing), MessageIcon::Error);
    return {};
}

void DownloadListCommands::OpenTaskFile()
{
    const QString path = currentTaskFile();
    if (!path.isEmpty())
        m_shell.openFile(path);
}

void DownloadListCommands::OpenTaskFolder()
{
    const DownloadTask* task = m_model.list().currentTask();
    if (task == nullptr)
        return;
    if (!FolderExists(task->Folder)) {
        m_prompts.showMessage(text(kFolderMissing), MessageIcon::Error);
        return;
    }
    const QString path = dottedPath(*task);
    if (!FileExists(path)) {
        m_shell.openFolder(task->Folder);
        return;
    }
    if (!m_shell.showInFolder(path))
        m_prompts.showMessage(text(kOpenFailed), MessageIcon::Error);
}

void DownloadListCommands::OpenTaskInNotepad()
{
    const QString path = currentTaskFile();
    if (path.isEmpty())
        return;
    // 2048 KB is still accepted; one byte more is not.
    if (QFileInfo(path).size() > 2048LL * 1024) {
        m_prompts.showMessage(text(kTooLargeForEditor), MessageIcon::Error);
        return;
    }
    m_shell.startTextEditor(path);
}

void DownloadListCommands::CopyTaskName()
{
    if (const DownloadTask* task = m_model.list().currentTask())
        m_shell.setClipboardText(task->Name);
}

void DownloadListCommands::ExportTaskNames(bool unfinishedOnly)
{
    const DownloadList& list = m_model.list();
    if (list.isEmpty())
        return;
    const QString file = m_prompts.chooseSaveFile(QString(), u"*.txt|*.txt|*.ris|*.ris|*.bib|*.bib"_s);
    if (file.isEmpty())
        return;
    // A reference manager's file holds the tasks that came from result pages;
    // an address typed in has nothing to cite.
    if (const std::optional<CitationFormat> format = CitationFormatOfFile(file)) {
        std::vector<CitedArticle> articles;
        for (const DownloadTask& task : list.tasks()) {
            if (task.Cited && (!unfinishedOnly || task.State != TaskState::Completed))
                articles.push_back(*task.Cited);
        }
        if (articles.empty()) {
            m_prompts.showMessage(QString::fromUtf16(listmessages::kNothingToCite), MessageIcon::Information);
            return;
        }
        QString error;
        if (!WriteCitationFile(file, articles, *format, &error))
            m_prompts.showMessage(error, MessageIcon::Error);
        return;
    }
    QStringList names;
    for (const DownloadTask& task : list.tasks()) {
        if (!unfinishedOnly || task.State != TaskState::Completed)
            names.append(task.Name);
    }
    QString error;
    if (!legacytext::writeLines(file, names, &error))
        m_prompts.showMessage(error, MessageIcon::Error);
}

void DownloadListCommands::MarkMissingFiles()
{
    DownloadList& list = m_model.list();
    for (int p = 1; p <= list.count(); ++p) {
        DownloadTask& task = *list.TaskAt(p);
        const QString path = TaskFilePath(task);
        if (!FileExists(path) || IsLeftNameClaim(path))
            task.Progress = QString::fromUtf16(outcometexts::kMarkedMissing);
    }
    m_model.tasksChanged(1, list.count());
}

void DownloadListCommands::CorrectDiskFileTypes()
{
    if (refuseWhileActive())
        return;
    DownloadList& list = m_model.list();
    int corrected = 0;
    for (int p = 1; p <= list.count(); ++p) {
        if (CorrectTaskFileType(*list.TaskAt(p)))
            ++corrected;
    }
    m_model.tasksChanged(1, list.count());
    m_prompts.showMessage(u"纠正文件类型："_s + QString::number(corrected) + u"个."_s, MessageIcon::Information);
}

void DownloadListCommands::DetectChosenFileType()
{
    const QString file = m_prompts.chooseOpenFile(QString(), u"*.*|*.*"_s);
    if (file.isEmpty())
        return;
    const QString type = DetectFileType(file);
    m_prompts.showMessage(type.isEmpty() ? u"目前还无法判断。"_s : u"文件类型为："_s + type,
                          MessageIcon::Information);
}

void DownloadListCommands::OpenOrRequeueCurrentTask()
{
    DownloadList& list = m_model.list();
    DownloadTask* task = list.currentTask();
    if (task == nullptr)
        return;
    if (task->State == TaskState::Completed) {
        const QString path = TaskFilePath(*task);
        if (FileExists(path))
            m_shell.openFile(path);
        else
            m_prompts.showMessage(text(kFileMissing), MessageIcon::Error);
    } else if (task->State == TaskState::Failed) {
        // Unlike the re-download commands, the type stays as it is.
        DeleteTaskFile(*task);
        task->State = TaskState::Waiting;
        list.ClearProgress(list.currentPosition());
        m_model.taskChanged(list.currentPosition());
    }
}

QString DownloadListCommands::MakeTaskCurrent(int position)
{
    DownloadList& list = m_model.list();
    list.setCurrentPosition(position);
    const DownloadTask* task = list.currentTask();
    if (task == nullptr)
        return {};
    const QString path = TaskFilePath(*task);
    return FileExists(path) ? path : QString();
}

QString DownloadListCommands::TaskCountLabelText() const
{
    return QString::number(m_model.list().count()) + u"条"_s;
}
