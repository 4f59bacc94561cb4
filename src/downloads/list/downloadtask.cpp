#include "downloadtask.h"

#include <algorithm>
#include <cmath>

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

QString HostWaitText(double seconds)
{
    return u"等待 "_s + QString::number(static_cast<qint64>(std::ceil(std::max(seconds, 0.0)))) + u" 秒"_s;
}

QString OutcomeProgressText(TaskOutcome outcome)
{
    switch (outcome) {
    case TaskOutcome::TooLarge: return QString::fromUtf16(outcometexts::kTooLarge);
    case TaskOutcome::AlreadyThere: return QString::fromUtf16(outcometexts::kAlreadyThere);
    case TaskOutcome::CannotReplace: return QString::fromUtf16(outcometexts::kCannotReplace);
    case TaskOutcome::Cancelled: return QString::fromUtf16(outcometexts::kCancelled);
    case TaskOutcome::BotCheck: return QString::fromUtf16(outcometexts::kBotCheck);
    case TaskOutcome::SlowDownRepeated: return QString::fromUtf16(outcometexts::kSlowDownRepeated);
    case TaskOutcome::SlowDownTooLong: return QString::fromUtf16(outcometexts::kSlowDownTooLong);
    case TaskOutcome::Refused: return QString::fromUtf16(outcometexts::kRefused);
    case TaskOutcome::None:
    case TaskOutcome::WaitingForHost:
    case TaskOutcome::Completed:
    case TaskOutcome::Failed: return {};
    }
    return {};
}

bool SetTaskBytes(DownloadTask& task, qint64 received, qint64 total)
{
    if (total <= 0 || received < 0 || total < received)
        return false;
    SetTaskSize(task, total);
    task.ReceivedBytes = received;
    task.Received = QString::number(received);
    task.Progress = QString::number(received * 100 / total) + u'%';
    return true;
}

void SetTaskSize(DownloadTask& task, qint64 total)
{
    task.SizeBytes = total;
    task.Size = QString::number(total);
}

void ClearTaskProgress(DownloadTask& task)
{
    task.Size.clear();
    task.Received.clear();
    task.Progress.clear();
    task.SizeBytes = -1;
    task.ReceivedBytes = -1;
    task.Outcome = TaskOutcome::None;
}

void SetTaskOutcome(DownloadTask& task, TaskOutcome outcome)
{
    task.Outcome = outcome;
    switch (outcome) {
    case TaskOutcome::None: return;
    case TaskOutcome::WaitingForHost: task.State = TaskState::Waiting; return;
    case TaskOutcome::Completed:
    case TaskOutcome::TooLarge:
    case TaskOutcome::AlreadyThere: task.State = TaskState::Completed; break;
    case TaskOutcome::CannotReplace:
    case TaskOutcome::Cancelled:
    case TaskOutcome::BotCheck:
    case TaskOutcome::SlowDownRepeated:
    case TaskOutcome::SlowDownTooLong:
    case TaskOutcome::Refused:
    case TaskOutcome::Failed: task.State = TaskState::Failed; break;
    }
    const QString text = OutcomeProgressText(outcome);
    if (!text.isEmpty())
        task.Progress = text;
}

double TaskFractionDone(const DownloadTask& task)
{
    if (task.SizeBytes <= 0 || task.ReceivedBytes < 0 || task.ReceivedBytes > task.SizeBytes)
        return -1;
    return static_cast<double>(task.ReceivedBytes) / static_cast<double>(task.SizeBytes);
}
