#pragma once

#include "core/copyrun.h"
#include "core/copysource.h"
#include "downloads/engine/queuedprompts.h"

#include <QList>
#include <QObject>
#include <QStringList>

class AppSettings;
class UserPrompts;

// What the copy dialog shows when it opens.
struct CopyFilesForm {
    QStringList History;
    QString Destination;
    int Policy = 4; // 1..5
};

// The destination the copy dialog proposes before one is stored: the papers'
// save folder where it exists, else the home folder (never the program's own
// folder, where nobody may write once installed).
QString ProposedCopyDestination(const QString& saveFolder, const QString& homeFolder);

// The copy dialog's logic: the destination and its history, the existing-file
// option, and the run behind "开始"/"停止".
class CopyFilesController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CopyFilesController)

public:
    CopyFilesController(AppSettings& settings, UserPrompts& prompts, QString historyFile, QObject* parent = nullptr);

    QList<CopySource> SourceFiles;

    CopyFilesForm Load();
    // The option buttons (Option1(0..4)): what to do with a name already at the destination, 1 to 5.
    void ChoosePolicy(int index);
    int policy() const { return m_policy; }
    // "浏览" (Command3): the folder picked, or the box's text when cancelled.
    QString PickDestination(const QString& folderText);

    // "开始" while idle: checks and remembers the destination, then starts
    // copying; "停止" while running: stops after the current file. Returns
    // the text the box shows afterwards.
    QString 执行(const QString& boxText, bool report);
    bool running() const { return m_run.running(); }
    // The dialog closes: the run ends at its next turn, without a report.
    void stopBeforeClose();
    const QStringList& history() const { return m_history; }
    CopyRun& run() { return m_run; }

signals:
    void runningChanged(bool running);
    void historyChanged(const QStringList& history);

private:
    void runFinished();

    AppSettings& m_settings;
    UserPrompts& m_prompts;
    // The report arises in the run's last turn; it is shown after that turn.
    QueuedPrompts m_queued;
    QString m_historyFile;
    QStringList m_history;
    int m_policy = 4;
    bool m_report = false;
    CopyRun m_run;
};
