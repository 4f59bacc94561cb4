// The scheduler's answers to its transfers: what the headers say (the file
// the single-transfer method's body goes into, the size rule), progress, a
// body that arrived, and the errors that end a task or send it back to wait
// for its host. Each answer writes the task and frees the slot.

#include "downloadscheduler.h"

#include "downloads/list/citationbeside.h"
#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/filetypedetection.h"
#include "transfers/hostrefusal.h"
#include "transfers/transfer.h"

#include "core/contenttype.h"
#include "core/pathfunctions.h"
#include "core/programvalues.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

bool DownloadScheduler::overSizeLimit(qint64 bytes) const
{
    return static_cast<double>(bytes) / 1024.0 / 1024.0 > m_values.MaxFileSizeMB;
}

void DownloadScheduler::onHeaders(int slot, const TransferHeaders& headers)
{
    const int position = m_slots[static_cast<size_t>(slot)].Position;
    DownloadTask* task = m_model.list().TaskAt(position);
    if (task == nullptr) {
        endWithOutcome(slot, TaskOutcome::Failed);
        return;
    }
    if (headers.AnnouncedSize > 0)
        SetTaskSize(*task, headers.AnnouncedSize);
    if (overSizeLimit(headers.AnnouncedSize)) {
        endWithOutcome(slot, TaskOutcome::TooLarge);
        return;
    }
    const QString ext = ContentTypeToExt(ParseContentType(headers.ContentType));
    task->Folder = WithTrailingSeparator(EnsureFolder(task->Folder, m_prompts));
    if (!ext.isEmpty() && !ext.contains(u'/'))
        task->Type = ext;
    QString path;
    if (m_switches.Policy == DuplicatePolicy::Rename) {
        const SavePath target = MakeSavePath(task->Folder, task->Name, task->Type, DuplicatePolicy::Rename, nameTaken());
        path = target.Path;
        task->Name = target.Name;
    } else {
        path = TargetFilePath(task->Folder, task->Name, task->Type);
    }
    if (FileExists(path))
        QFile::remove(path);
    if (FileExists(path)) {
        const qint64 length = QFileInfo(path).size();
        SetTaskSize(*task, length);
        task->ReceivedBytes = length;
        task->Received = QString::number(length);
        endWithOutcome(slot, TaskOutcome::CannotReplace);
        return;
    }
    Slot& entry = m_slots[static_cast<size_t>(slot)];
    entry.BodyStarted = true;
    entry.BodyPath = path;
    if (headers.AnnouncedSize > 0) {
        task->ReceivedBytes = 0;
        task->Received = u"0"_s;
    } else {
        entry.SizeUnknown = true;
        task->SizeBytes = -1;
        task->Size = QString::fromUtf16(outcometexts::kSizeUnknown);
    }
    m_model.taskChanged(position);
    entry.Running->SaveInto(path);
}

void DownloadScheduler::onProgress(int slot, qint64 bytesRead, qint64 bytesMax)
{
    const int position = m_slots[static_cast<size_t>(slot)].Position;
    DownloadTask* task = m_model.list().TaskAt(position);
    if (task == nullptr || !SetTaskBytes(*task, bytesRead, bytesMax))
        return;
    if (overSizeLimit(bytesMax)) {
        endWithOutcome(slot, TaskOutcome::TooLarge);
        return;
    }
    m_model.taskProgressed(position);
}

void DownloadScheduler::onComplete(int slot, qint64 bytesRead, qint64 bytesMax)
{
    const int position = m_slots[static_cast<size_t>(slot)].Position;
    DownloadTask* task = m_model.list().TaskAt(position);
    const Slot& entry = m_slots[static_cast<size_t>(slot)];
    const BodySample sample = entry.Running ? entry.Running->bodySample() : BodySample{};
    unloadSlot(slot);
    if (task == nullptr) {
        // The slot is freed all the same, or it would stay taken for good.
        m_lastFinishTime = m_clock();
        return;
    }
    SetTaskBytes(*task, bytesRead, bytesMax);
    m_gate.served(HostGate::hostOf(task->Url));
    m_slowDownsByTask.remove(task->Url);
    // Whole when every announced byte arrived, as the last counts say.
    const bool whole = task->SizeBytes > 0 && task->ReceivedBytes == task->SizeBytes;
    SetTaskOutcome(*task, whole ? TaskOutcome::Completed : TaskOutcome::Failed);
    // The transfer saw the body pass; without its sample the file is read.
    if (sample.Length >= 0)
        CorrectTaskFileType(*task, DetectFileTypeFromSample(sample.Head, sample.Tail, sample.Length));
    else
        CorrectTaskFileType(*task);
    // A reference manager then finds the paper's citation beside it; a failed
    // write costs the paper nothing.
    if (whole && m_values.CitationBesideFile)
        WriteCitationBesideFile(*task);
    m_model.taskChanged(position);
    finishTransferSteps(position);
}

void DownloadScheduler::onError(int slot, const QString& reason)
{
    const HostRefusal refusal = RefusalOfReason(reason);
    if (refusal == HostRefusal::SlowDown) {
        slowedDown(slot);
        return;
    }
    if (refusal == HostRefusal::Refused) {
        refusedByHost(slot);
        return;
    }
    const bool botCheck = refusal == HostRefusal::BotCheck;
    if (botCheck && retryInBrowser(slot))
        return;
    const int position = m_slots[static_cast<size_t>(slot)].Position;
    DownloadTask* task = m_model.list().TaskAt(position);
    if (botCheck)
        restoreStartName(slot);
    // A whole-body fetch that brought nothing has no counts to show.
    if (task != nullptr && m_slots[static_cast<size_t>(slot)].SizeUnknown)
        ClearTaskProgress(*task);
    // The check's page is no web page of the site: it counts as a failed
    // check, never as a web page result that would call the sign-in.
    endWithOutcome(slot, botCheck ? TaskOutcome::BotCheck : TaskOutcome::Failed);
}

void DownloadScheduler::restoreStartName(int slot)
{
    // The refusal's page said nothing about the file: the name and type are
    // the task's own again, and no web page result calls the sign-in.
    DownloadTask* task = m_model.list().TaskAt(m_slots[static_cast<size_t>(slot)].Position);
    if (task == nullptr)
        return;
    const Slot& entry = m_slots[static_cast<size_t>(slot)];
    task->Name = entry.StartName;
    task->Type = entry.StartType;
}

void DownloadScheduler::endWithOutcome(int slot, TaskOutcome outcome)
{
    const int position = m_slots[static_cast<size_t>(slot)].Position;
    unloadSlot(slot);
    if (DownloadTask* task = m_model.list().TaskAt(position)) {
        SetTaskOutcome(*task, outcome);
        m_model.taskChanged(position);
    }
    finishTransferSteps(position);
}
