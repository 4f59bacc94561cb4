#pragma once

#include <QObject>
#include <QString>

class DownloadActivity;
class DownloadTableModel;
class Shell;
class UserPrompts;
struct DownloadTask;

// The download list menu's commands and the single-row actions. Each works on
// the list through the table model, so views hear of every change; messages
// and pickers go through UserPrompts, desktop actions through Shell.
class DownloadListCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadListCommands)

public:
    DownloadListCommands(DownloadTableModel& model, const DownloadActivity& activity, UserPrompts& prompts,
                         Shell& shell, QObject* parent = nullptr);

    void SelectAllTasks();
    void SelectNoTasks();
    void setTaskSelected(int position, bool selected);

    void RedownloadSelectedTasks();
    void RedownloadFailedTasks();
    void RedownloadWebPageTasks();
    void RedownloadFailedAndWebPageTasks();
    void RedownloadSmallTasks();

    void ClearSelectedTasks();
    void ClearFailedTasks();
    void ClearCompletedTasks();
    void ClearAllTasks();

    void DeleteWebPageFiles();
    void DeleteFailedFiles();
    void CancelSelectedTasks();

    // Commands on the current task.
    void OpenTaskFile();
    void OpenTaskFolder();
    void OpenTaskInNotepad();
    void CopyTaskName();

    void ExportTaskNames(bool unfinishedOnly);
    void MarkMissingFiles();

    // Tools menu: "检查并纠正磁盘文件类型" and "打开文件判断类型".
    void CorrectDiskFileTypes();
    void DetectChosenFileType();

    // The list's double click: opens the current task's finished file, or
    // queues its failed task again.
    void OpenOrRequeueCurrentTask();
    // The list's click: the task at position becomes current; answers its
    // file's path when the file exists (for the status bar's second panel), else "".
    QString MakeTaskCurrent(int position);

    // "<count>条"
    QString TaskCountLabelText() const;

private:
    bool refuseWhileActive();
    // The current task's file ("Folder/Name.Type"); "" with a message when it is
    // missing, "" without one when there is no current task.
    QString currentTaskFile();
    template <typename Picks>
    void clearWhere(Picks picks);
    template <typename Picks>
    void deleteFilesWhere(Picks picks);
    void setAllSelected(bool selected);

    DownloadTableModel& m_model;
    const DownloadActivity& m_activity;
    UserPrompts& m_prompts;
    Shell& m_shell;
};
