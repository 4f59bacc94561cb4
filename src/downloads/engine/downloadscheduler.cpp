#include "downloadscheduler.h"

#include "housekeeping.h"
#include "hostwaittexts.h"
#include "soundclips.h"

#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/requeue.h"
#include "transfers/transfer.h"

#include "core/autologin.h"
#include "core/leftoverfiles.h"
#include "core/pathfunctions.h"
#include "core/programvalues.h"
#include "core/textfunctions.h"


#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;
DownloadScheduler::DownloadScheduler(DownloadTableModel& model, ProgramValues& values, TransferFactory& parallel,
                                     SoundPlayer& sounds, UserPrompts& prompts, SecondsClock clock, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_values(values)
    , m_parallel(parallel)
    , m_sounds(sounds)
    , m_prompts(prompts)
    , m_clock(std::move(clock))
    , m_gate(m_clock)
{
    m_lastFinishTime = m_clock();
    m_gateTimer.setSingleShot(true);
    connect(&m_gateTimer, &QTimer::timeout, this, [this] {
        if (SchedulerEnabled())
            ScheduleTick();
    });
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

void DownloadScheduler::stopHousekeeping()
{
    m_housekeepingTimer.stop();
}

int DownloadScheduler::DownloadMethod() const
{
    return EffectiveMethod(m_values.DownloadMethod);
}

QString DownloadScheduler::methodLabelText() const
{
    return u"下载方式："_s + QString::number(DownloadMethod());
}

bool DownloadScheduler::threadCountEnabled() const
{
    return DownloadMethod() != 1;
}

int DownloadScheduler::slotPosition(int slot) const
{
    return (slot >= 1 && slot <= kMaxSlots) ? m_slots[static_cast<size_t>(slot)].Position : 0;
}

bool DownloadScheduler::slotLoaded(int slot) const
{
    return slot >= 1 && slot <= kMaxSlots && m_slots[static_cast<size_t>(slot)].Running != nullptr;
}

bool DownloadScheduler::DownloadsActive() const
{
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        if (slotLoaded(slot))
            return true;
    }
    return SchedulerEnabled();
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
    m_browserRetries.clear();
    m_bulkAnswered = false;
    setSchedulerEnabled(true);
    // The first tick at once, not a second from now.
    ScheduleTick();
}

void DownloadScheduler::StopDownloads()
{
    m_switches.AutoStart = false;
    m_switches.AutoRedownload = false;
    emit switchesChanged();
    setSchedulerEnabled(false);
    DownloadList& list = m_model.list();
    std::vector<int> stopped;
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        if (!slotLoaded(slot))
            continue;
        const int position = m_slots[static_cast<size_t>(slot)].Position;
        // A body that was on its way shows that it was cancelled.
        DownloadTask* task = list.TaskAt(position);
        if (task != nullptr && m_slots[static_cast<size_t>(slot)].BodyStarted)
            SetTaskOutcome(*task, TaskOutcome::Cancelled);
        unloadSlot(slot);
        stopped.push_back(position);
    }
    for (int p = 1; p <= list.count(); ++p) {
        if (list.TaskAt(p)->State == TaskState::Downloading)
            SetTaskOutcome(*list.TaskAt(p), TaskOutcome::Failed);
    }
    m_transferBusy = false;
    m_model.tasksChanged(1, list.count());
    if (!stopped.empty())
        m_lastFinishTime = m_clock();
    for (const int position : stopped)
        emit transferEnded(position);
}

void DownloadScheduler::ToggleDownloadMethod()
{
    // Between the single transfer and the slots; from the browser's method
    // to the single transfer, as from the parallel one.
    m_values.DownloadMethod = DownloadMethod() == 1 ? 2 : 1;
    methodSwitched();
}

void DownloadScheduler::optionsChanged(int previousMethod)
{
    if (DownloadMethod() != EffectiveMethod(previousMethod))
        methodSwitched();
}

void DownloadScheduler::methodSwitched()
{
    m_switches.ThreadCount = 1;
    // The parallel method keeps the busy flag while the scheduler runs; the
    // single-transfer method would read it as its one transfer still running
    // and never start again.
    m_transferBusy = std::any_of(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.Running != nullptr; });
    emit methodChanged();
}

int DownloadScheduler::findStartableTask(bool ensureFolders)
{
    DownloadList& list = m_model.list();
    // Hosts the gate holds back: their tasks are passed over at once, so a
    // long list for a waiting host costs no folder or file look each tick,
    // and tasks for other hosts go on.
    QSet<QString> held;
    for (int p = 1; p <= list.count(); ++p) {
        DownloadTask& task = *list.TaskAt(p);
        if (task.State != TaskState::Waiting)
            continue;
        const QString host = HostGate::hostOf(task.Url);
        if (held.contains(host))
            continue;
        if (!hostMayStart(host)) {
            held.insert(host);
            continue;
        }
        task.Name = SafeFileName(task.Name);
        if (ensureFolders)
            task.Folder = EnsureFolder(task.Folder, m_prompts);
        task.Folder = WithTrailingSeparator(task.Folder);
        removeLeftoversOnce(task.Folder);
        // Another task's body on its way to the same name: this one waits
        // for its end, then skips, overwrites or numbers as the policy says.
        if (m_switches.Policy != DuplicatePolicy::Rename
            && bodyOnItsWayTo(TargetFilePath(task.Folder, task.Name, task.Type)))
            continue;
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
    m_gate.setPace({static_cast<double>(std::max(m_values.SecondsBetweenHostStarts, 0)),
                    std::max(m_values.HostStartsPerHour, 0)});
    m_shortestHeldWait = 0;
    startTasks();
    // A host held back by its pace may start again before the next tick: the
    // timer is set anew for the wait this tick saw.
    if (m_shortestHeldWait > 0 && SchedulerEnabled())
        m_gateTimer.start(static_cast<int>(std::ceil(m_shortestHeldWait * 1000)));
}

void DownloadScheduler::startTasks()
{
    DownloadList& list = m_model.list();
    if (DownloadMethod() == 1) {
        if (m_transferBusy || m_single == nullptr)
            return;
        const int position = findStartableTask(false);
        if (position == 0)
            return;
        if (m_browserRetries.isDue(list.TaskAt(position)->Url)) {
            startBrowserRetry(1, position, QString(), true);
            return;
        }
        markStarted(position);
        StartInetTask(position);
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
        const SavePath target = MakeSavePath(task.Folder, task.Name, task.Type, m_switches.Policy, nameTaken());
        task.Name = target.Name;
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

bool DownloadScheduler::loadSlot(int slot, int position, TransferFactory* factory, bool single)
{
    m_slots[static_cast<size_t>(slot)].Position = position;
    std::unique_ptr<Transfer> transfer = factory != nullptr ? factory->createTransfer() : nullptr;
    Transfer* raw = transfer.get();
    if (raw == nullptr) {
        m_model.list().SetState(position, TaskState::Failed);
        m_model.taskChanged(position);
        return false;
    }
    const DownloadTask& task = *m_model.list().TaskAt(position);
    m_gate.started(HostGate::hostOf(task.Url));
    m_slots[static_cast<size_t>(slot)] = Slot{std::move(transfer), single, false, false, factory, {}, task.Name, task.Type, {}, position};
    m_transferBusy = true;
    connect(raw, &Transfer::HeadersReceived, this, [this, slot](const TransferHeaders& h) { onHeaders(slot, h); });
    connect(raw, &Transfer::DownloadProgress, this,
            [this, slot](qint64 read, qint64 max, const QString&) { onProgress(slot, read, max); });
    connect(raw, &Transfer::DownloadComplete, this,
            [this, slot](qint64 read, qint64 max, const QString&) { onComplete(slot, read, max); });
    connect(raw, &Transfer::DownloadError, this,
            [this, slot](const QString& reason, const QString&) { onError(slot, reason); });
    connect(raw, &Transfer::StateChanged, this, [this](int, const QString& text) { emit stateTextChanged(text); });
    return true;
}

TransferFactory* DownloadScheduler::slotFactory()
{
    // Method 3 without a browser has nothing to run with: its tasks fail
    // rather than go quietly another way.
    return DownloadMethod() == 3 ? m_browser : &m_parallel;
}

void DownloadScheduler::StartSlotTask(int slot, int position, const QString& url, const QString& savePath)
{
    if (m_browserRetries.isDue(url)) {
        startBrowserRetry(slot, position, savePath, false);
        return;
    }
    if (!loadSlot(slot, position, slotFactory(), false))
        return;
    markStarted(position);
    Slot& entry = m_slots[static_cast<size_t>(slot)];
    entry.SavePath = savePath;
    entry.BodyPath = savePath;
    entry.Running->BeginDownload(url, savePath, m_model.list().TaskAt(position)->Referer);
}

bool DownloadScheduler::retryInBrowser(int slot)
{
    Slot& entry = m_slots[static_cast<size_t>(slot)];
    const int position = m_slots[static_cast<size_t>(slot)].Position;
    DownloadTask* task = m_model.list().TaskAt(position);
    if (task == nullptr || !m_values.BrowserFallback || m_browserRetry == nullptr || entry.Source == m_browser
        || entry.Source == m_browserRetry || m_browserRetries.hadRetry(task->Url))
        return false;
    m_browserRetries.retrying(task->Url);
    // The check's page said nothing about the file: the name and type are
    // the task's own again.
    task->Name = entry.StartName;
    task->Type = entry.StartType;
    const QString path = entry.SavePath;
    const bool single = entry.Single;
    if (m_gate.secondsUntilStart(HostGate::hostOf(task->Url)) > 0) {
        // The retry is a start like any other: a host that waits (its pace,
        // its "slow down", its refusals) is not asked again before its time.
        unloadSlot(slot);
        m_browserRetries.deferred(task->Url);
        ClearTaskProgress(*task);
        sendBackForHost(position);
        return true;
    }
    // The retry writes into the same name.
    unloadSlot(slot);
    startBrowserRetry(slot, position, path, single);
    return true;
}

void DownloadScheduler::startBrowserRetry(int slot, int position, QString path, bool single)
{
    DownloadTask* task = m_model.list().TaskAt(position);
    m_browserRetries.started(task->Url);
    if (path.isEmpty()) {
        // The single-transfer method names the file at the headers; the
        // browser is given it at the start.
        task->Folder = WithTrailingSeparator(EnsureFolder(task->Folder, m_prompts));
        const SavePath target = MakeSavePath(task->Folder, task->Name, task->Type, m_switches.Policy, nameTaken());
        task->Name = target.Name;
        path = target.Path;
    }
    if (!loadSlot(slot, position, m_browserRetry, single)) {
        finishTransferSteps(position);
        return;
    }
    markStarted(position);
    emit statusTextChanged(u"网页验证，浏览器重试:"_s + task->Name);
    Slot& retry = m_slots[static_cast<size_t>(slot)];
    retry.SavePath = path;
    retry.BodyPath = path;
    retry.Running->BeginDownload(task->Url, path, task->Referer);
}

void DownloadScheduler::StartInetTask(int position)
{
    DownloadTask* task = m_model.list().TaskAt(position);
    if (task == nullptr)
        return;
    if (slotLoaded(1) || m_transferBusy) {
        // The one client is still busy: the task goes back in the queue.
        task->State = TaskState::Waiting;
        task->Size = QString::fromUtf16(outcometexts::kWaitingAgain);
        task->SizeBytes = -1;
        m_model.taskChanged(position);
        return;
    }
    if (!loadSlot(1, position, m_single, true))
        return;
    emit statusTextChanged(u"正在下载:"_s + task->Name);
    // The file is chosen once the headers have said what arrives.
    m_slots[1].Running->BeginDownload(task->Url, QString(), task->Referer);
}

void DownloadScheduler::unloadSlot(int slot)
{
    Slot& entry = m_slots[static_cast<size_t>(slot)];
    if (!entry.Running)
        return;
    Transfer* raw = entry.Running.release();
    if (entry.Single)
        m_transferBusy = false; // the single-transfer method runs one transfer at a time
    // The position stays: the handlers of the transfer's end read it after it went.
    const int position = entry.Position;
    entry = Slot{};
    entry.Position = position;
    raw->disconnect(this);
    raw->Cancel();
    // Deleted from the event loop: this may run inside one of its own signals.
    raw->deleteLater();
}

NameTaken DownloadScheduler::nameTaken() const
{
    // A body on its way has no file under its name until it is whole, so
    // the names the running transfers will take count as taken.
    return [this](const QString& path) { return FileExists(path) || bodyOnItsWayTo(path); };
}

bool DownloadScheduler::bodyOnItsWayTo(const QString& path) const
{
    return std::any_of(m_slots.begin(), m_slots.end(),
                       [&](const Slot& entry) { return entry.Running && entry.BodyPath == path; });
}

void DownloadScheduler::removeLeftoversOnce(const QString& folder)
{
    // Before the run's first start there: nothing of this run writes in the
    // folder yet, so whatever a killed run left is no body on its way.
    if (m_sweptFolders.contains(folder))
        return;
    m_sweptFolders.insert(folder);
    RemoveLeftoverFiles(folder);
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
    emit transferEnded(position);
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
    const HousekeepingVerdict verdict
        = DecideHousekeeping({list.AllTasksSettled(), SchedulerEnabled(), list.CountUntouchedTasks()}, m_switches);
    emit startMenuEnabledChanged(verdict.StartMenuEnabled);
    if (verdict.SwitchOff)
        setSchedulerEnabled(false);
    if (verdict.FinishedSound)
        playSound(kSoundFinished);
    // The running mark follows the scheduler.
    emit schedulerEnabledChanged(verdict.EnabledAfterSettling);
    updateBusyFlag();
    UpdateStatusCounters();
    updateHostWaits();
    if (verdict.AutoStart)
        setSchedulerEnabled(true);
    if (verdict.RequeueFailed)
        RequeueFailedTasks(m_model);
    if (verdict.RequeueWebPages)
        RequeueWebPageTasks(m_model);
    if (verdict.SwitchOnAfterRequeue)
        setSchedulerEnabled(true);
    // Too many bad results: stop starting more (running ones go on).
    if (StopsForBadResults(m_switches, SchedulerEnabled(), list.CountBadResults())) {
        setSchedulerEnabled(false);
        if (m_switches.Sounds)
            playSound(kSoundFinished);
    }
}

void DownloadScheduler::updateBusyFlag()
{
    if (DownloadMethod() == 1) {
        if (!slotLoaded(1) && !SchedulerEnabled())
            m_transferBusy = false;
        return;
    }
    const int slotCount = std::clamp(m_switches.ThreadCount, 1, kMaxSlots);
    for (int slot = 1; slot <= slotCount; ++slot) {
        if (slotLoaded(slot))
            m_transferBusy = true;
    }
    if (!SchedulerEnabled())
        m_transferBusy = false;
}
