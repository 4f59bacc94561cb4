#include "downloadscheduler.h"

#include "downloadtablemodel.h"
#include "filetypedetection.h"
#include "listcommands.h"
#include "schedulerhooks.h"
#include "soundclips.h"
#include "transfer.h"

#include "core/pathfunctions.h"
#include "core/programvalues.h"
#include "core/textfunctions.h"

#include <QPointer>

using namespace Qt::Literals::StringLiterals;

DownloadScheduler::DownloadScheduler(DownloadTableModel& model, ProgramValues& values, TransferFactory& transfers,
                                     SoundPlayer& sounds, UserPrompts& prompts, SecondsClock clock, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_values(values)
    , m_transfers(transfers)
    , m_sounds(sounds)
    , m_prompts(prompts)
    , m_clock(std::move(clock))
{
    m_lastFinishTime = m_clock();
    m_scheduleTimer.setInterval(1000);
    m_housekeepingTimer.setInterval(1000);
    connect(&m_scheduleTimer, &QTimer::timeout, this, &DownloadScheduler::ScheduleTick);
    connect(&m_housekeepingTimer, &QTimer::timeout, this, &DownloadScheduler::HousekeepingTick);
    if (m_values.DownloadMethod == 1)
        m_switches.ThreadCount = 1;
}

DownloadScheduler::~DownloadScheduler()
{
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        unloadSlot(slot);
}

void DownloadScheduler::startHousekeeping()
{
    m_housekeepingTimer.start();
}

int DownloadScheduler::DownloadMethod() const
{
    return m_values.DownloadMethod == 1 ? 1 : 2;
}

QString DownloadScheduler::methodLabelText() const
{
    return u"下载方式："_s + QString::number(DownloadMethod());
}

bool DownloadScheduler::threadCountEnabled() const
{
    return DownloadMethod() == 2;
}

int DownloadScheduler::slotPosition(int slot) const
{
    return (slot >= 0 && slot < static_cast<int>(m_slotTable.size())) ? m_slotTable[static_cast<size_t>(slot)] : 0;
}

bool DownloadScheduler::slotLoaded(int slot) const
{
    return slot >= 1 && slot <= kMaxSlots && m_slots[static_cast<size_t>(slot)] != nullptr;
}

bool DownloadScheduler::DownloadsActive() const
{
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        if (slotLoaded(slot))
            return true;
    }
    return (m_single != nullptr && m_single->StillExecuting()) || SchedulerEnabled();
}

void DownloadScheduler::setSchedulerEnabled(bool enabled)
{
    if (enabled == m_scheduleTimer.isActive())
        return;
    if (enabled)
        m_scheduleTimer.start();
    else
        m_scheduleTimer.stop();
    emit schedulerEnabledChanged(enabled);
}

void DownloadScheduler::StartDownloads()
{
    setSchedulerEnabled(true);
    // The first tick at once, not a second from now.
    ScheduleTick();
}

void DownloadScheduler::StopDownloads()
{
    m_switches.AutoStart = false;
    m_switches.AutoRedownload = false;
    emit switchesChanged();
    if (m_single != nullptr)
        m_single->Cancel();
    setSchedulerEnabled(false);
    m_transferBusy = false;
    if (m_single != nullptr)
        m_single->Cancel();
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        unloadSlot(slot);
    DownloadList& list = m_model.list();
    for (int p = 1; p <= list.count(); ++p) {
        if (list.TaskAt(p)->State == TaskState::Downloading)
            list.TaskAt(p)->State = TaskState::Failed;
    }
    m_model.tasksChanged(1, list.count());
    m_transferBusy = false;
}

void DownloadScheduler::ToggleDownloadMethod()
{
    m_values.DownloadMethod = DownloadMethod() == 2 ? 1 : 2;
    m_switches.ThreadCount = 1;
    emit methodChanged();
}

int DownloadScheduler::findStartableTask(bool ensureFolders)
{
    DownloadList& list = m_model.list();
    for (int p = 1; p <= list.count(); ++p) {
        DownloadTask& task = *list.TaskAt(p);
        if (task.State != TaskState::Waiting)
            continue;
        task.Name = SafeFileName(task.Name);
        if (ensureFolders)
            task.Folder = EnsureFolder(task.Folder, m_prompts);
        task.Folder = WithTrailingSeparator(task.Folder);
        if (CheckExistingFile(task, m_switches.Policy))
            return p;
        m_model.taskChanged(p); // skipped as already there
    }
    return 0;
}

void DownloadScheduler::ScheduleTick()
{
    DownloadList& list = m_model.list();
    if (list.isEmpty()) {
        setSchedulerEnabled(false);
        return;
    }
    // With no interval there is nothing to wait for, not even within the same instant.
    if (m_switches.IntervalSeconds > 0 && ClockDistance(m_lastFinishTime, m_clock()) <= m_switches.IntervalSeconds)
        return;

    if (DownloadMethod() == 1) {
        if (m_transferBusy || m_single == nullptr)
            return;
        const int position = findStartableTask(false);
        if (position == 0)
            return;
        markStarted(position);
        m_slotTable[1] = position;
        m_single->StartInetTask(position);
        return;
    }

    const int slotCount = std::clamp(m_switches.ThreadCount, 1, kMaxSlots);
    for (int slot = 1; slot <= slotCount; ++slot) {
        if (slotLoaded(slot))
            continue;
        const int position = findStartableTask(true);
        if (position == 0)
            continue;
        DownloadTask& task = *list.TaskAt(position);
        const SavePath target = MakeSavePath(task.Folder, task.Name, task.Type, m_switches.Policy);
        task.Name = target.Name;
        m_slotTable[static_cast<size_t>(slot)] = position;
        StartSlotTask(slot, position, task.Url, target.Path);
    }
}

void DownloadScheduler::markStarted(int position)
{
    m_model.list().SetState(position, TaskState::Downloading);
    if (m_switches.AutoLocate)
        emit scrollToTask(position);
    m_model.list().ClearProgress(position);
    m_model.taskChanged(position);
}

void DownloadScheduler::StartSlotTask(int slot, int position, const QString& url, const QString& savePath)
{
    std::unique_ptr<Transfer> transfer = m_transfers.createTransfer();
    Transfer* raw = transfer.get();
    if (raw == nullptr) {
        m_model.list().SetState(position, TaskState::Failed);
        m_model.taskChanged(position);
        return;
    }
    m_slots[static_cast<size_t>(slot)] = std::move(transfer);
    m_transferBusy = true;
    markStarted(position);

    connect(raw, &Transfer::DownloadProgress, this,
            [this, slot](qint64 read, qint64 max, const QString&) { onProgress(slot, read, max); });
    connect(raw, &Transfer::DownloadComplete, this,
            [this, slot](qint64 read, qint64 max, const QString&) { onComplete(slot, read, max); });
    connect(raw, &Transfer::DownloadError, this, [this, slot](const QString&, const QString&) { onError(slot); });
    raw->BeginDownload(url, savePath, m_model.list().TaskAt(position)->Referer);
}

void DownloadScheduler::unloadSlot(int slot)
{
    std::unique_ptr<Transfer>& transfer = m_slots[static_cast<size_t>(slot)];
    if (!transfer)
        return;
    Transfer* raw = transfer.release();
    raw->disconnect(this);
    raw->CancelAsyncRead();
    // Deleted from the event loop: this may run inside one of its own signals.
    raw->deleteLater();
}

bool DownloadScheduler::writeProgress(DownloadTask& task, qint64 bytesRead, qint64 bytesMax)
{
    if (bytesMax <= 0 || bytesMax < bytesRead)
        return false;
    task.Size = QString::number(bytesMax);
    task.Received = QString::number(bytesRead);
    task.Progress = QString::number(bytesRead * 100 / bytesMax) + u'%';
    return true;
}

void DownloadScheduler::onProgress(int slot, qint64 bytesRead, qint64 bytesMax)
{
    const int position = m_slotTable[static_cast<size_t>(slot)];
    DownloadTask* task = m_model.list().TaskAt(position);
    if (task == nullptr || !writeProgress(*task, bytesRead, bytesMax))
        return;
    if (static_cast<double>(bytesMax) / 1024.0 / 1024.0 > m_values.MaxFileSizeMB) {
        task->State = TaskState::Completed;
        task->Progress = u"大文件，跳过"_s;
        m_lastFinishTime = m_clock();
        unloadSlot(slot);
        refillSoon();
    }
    m_model.taskChanged(position);
}

void DownloadScheduler::onComplete(int slot, qint64 bytesRead, qint64 bytesMax)
{
    const int position = m_slotTable[static_cast<size_t>(slot)];
    DownloadTask* task = m_model.list().TaskAt(position);
    unloadSlot(slot);
    if (task == nullptr) {
        // The slot is freed all the same, or it would stay taken for good.
        m_lastFinishTime = m_clock();
        return;
    }
    writeProgress(*task, bytesRead, bytesMax);
    task->State = task->Progress == u"100%"_s ? TaskState::Completed : TaskState::Failed;
    CorrectTaskFileType(*task);
    m_model.taskChanged(position);
    finishTransferSteps(position);
}

void DownloadScheduler::onError(int slot)
{
    const int position = m_slotTable[static_cast<size_t>(slot)];
    if (DownloadTask* task = m_model.list().TaskAt(position)) {
        task->State = TaskState::Failed;
        m_model.taskChanged(position);
    }
    unloadSlot(slot);
    m_lastFinishTime = m_clock();
    refillSoon();
}

void DownloadScheduler::finishTransferSteps(int position)
{
    const DownloadTask* task = m_model.list().TaskAt(position);
    if (task != nullptr) {
        emit statusTextChanged(u"完成下载:"_s + task->Name);
        if (m_switches.Sounds) {
            if (IsWebPageResult(*task))
                playSound(kSoundWebPage);
            if (task->State == TaskState::Failed)
                playSound(kSoundFailed);
        }
        if (m_switches.AutoLogin && IsWebPageResult(*task) && m_login != nullptr)
            m_login->LoginToSite(true);
    }
    m_lastFinishTime = m_clock();
    refillSoon();
}

void DownloadScheduler::refillSoon()
{
    // With no interval a freed slot is filled at once, not at the next tick:
    // a list of small files would otherwise start one file per slot a second.
    if (m_switches.IntervalSeconds != 0 || !SchedulerEnabled() || m_refillQueued)
        return;
    m_refillQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_refillQueued = false;
        if (SchedulerEnabled())
            ScheduleTick();
    });
}

void DownloadScheduler::playSound(int id)
{
    m_sounds.PlayNotifySound(id);
}

void DownloadScheduler::UpdateStatusCounters()
{
    emit statusCountersChanged(StatusCountersText(m_model.list().CountByState()));
}

void DownloadScheduler::HousekeepingTick()
{
    DownloadList& list = m_model.list();
    // 1. Everything settled: the scheduler has nothing left to do.
    if (list.AllTasksSettled()) {
        emit startMenuEnabledChanged(true);
        if (SchedulerEnabled()) {
            setSchedulerEnabled(false);
            if (m_switches.Sounds)
                playSound(kSoundFinished);
        }
    } else {
        emit startMenuEnabledChanged(!SchedulerEnabled());
    }
    // 2. The running mark follows the scheduler.
    emit schedulerEnabledChanged(SchedulerEnabled());
    // 3. The busy flag.
    if (DownloadMethod() == 1) {
        const bool executing = m_single != nullptr && m_single->StillExecuting();
        if (!executing && !SchedulerEnabled())
            m_transferBusy = false;
    } else {
        const int slotCount = std::clamp(m_switches.ThreadCount, 1, kMaxSlots);
        for (int slot = 1; slot <= slotCount; ++slot) {
            if (slotLoaded(slot))
                m_transferBusy = true;
        }
        if (!SchedulerEnabled())
            m_transferBusy = false;
    }
    // 4. The counters.
    UpdateStatusCounters();
    // 5. Automatic start.
    if (m_switches.AutoStart && list.CountUntouchedTasks() >= 1)
        setSchedulerEnabled(true);
    // 6. Automatic re-download.
    if (m_switches.AutoRedownload && !SchedulerEnabled()) {
        if (m_switches.RedownloadChoice == 0 || m_switches.RedownloadChoice == 2)
            RequeueFailedTasks(m_model);
        if (m_switches.RedownloadChoice == 1 || m_switches.RedownloadChoice == 2)
            RequeueWebPageTasks(m_model);
        setSchedulerEnabled(true);
    }
    // 7. Too many bad results: stop starting more (running ones go on).
    if (m_switches.StopAfterBadResults && list.CountBadResults() >= 5 && SchedulerEnabled()) {
        setSchedulerEnabled(false);
        if (m_switches.Sounds)
            playSound(kSoundFinished);
    }
}
