// The scheduler's side of the host gate: starts a host may not have yet, the
// bulk question, "slow down" answers and plain refusals, and what the rows
// and status panel 3 say while a host waits.

#include "downloadscheduler.h"

#include "hostwaittexts.h"
#include "retryafter.h"

#include "downloads/list/downloadtablemodel.h"
#include "transfers/transfer.h"

#include "core/programvalues.h"
#include "core/userprompts.h"

#include <QTimer>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

bool DownloadScheduler::hostMayStart(const QString& host)
{
    const double wait = m_gate.secondsUntilStart(host);
    if (wait > 0) {
        m_shortestHeldWait = m_shortestHeldWait > 0 ? std::min(m_shortestHeldWait, wait) : wait;
        return false;
    }
    if (m_values.HostStartsPerHour <= 0 && !m_bulkAnswered
        && m_gate.startsInLastHour(host) >= kBulkStartsPerHour) {
        m_bulkHeldHosts.insert(host);
        askBulkQuestionSoon(host);
        return false;
    }
    return true;
}

void DownloadScheduler::askBulkQuestionSoon(const QString& host)
{
    if (m_bulkAsking)
        return;
    m_bulkAsking = true;
    m_bulkAskedHost = host;
    // A user who comes back to the window sees at once why nothing starts:
    // the rows held back and status panel 3 say so until the answer.
    updateHostWaits();
    // Asked from the event loop: a question needs its answer at once, and a
    // tick must never wait for one.
    QTimer::singleShot(0, this, [this, host] {
        const bool goOn = m_prompts.askYesNo(BulkDownloadQuestion(host, m_gate.startsInLastHour(host)),
                                             MessageIcon::Question);
        m_bulkAsking = false;
        m_bulkAnswered = true;
        m_bulkAskedHost.clear();
        m_bulkHeldHosts.clear();
        updateHostWaits();
        if (!goOn) {
            // What runs finishes; nothing new starts, not even by the
            // automatic start or re-download, as after the stop command.
            m_switches.AutoStart = false;
            m_switches.AutoRedownload = false;
            emit switchesChanged();
            setSchedulerEnabled(false);
        } else if (SchedulerEnabled()) {
            ScheduleTick();
        }
    });
}

void DownloadScheduler::slowedDown(int slot)
{
    const int position = m_slots[static_cast<size_t>(slot)].Position;
    DownloadTask* task = m_model.list().TaskAt(position);
    if (task == nullptr) {
        endWithOutcome(slot, TaskOutcome::Failed);
        return;
    }
    const Slot& entry = m_slots[static_cast<size_t>(slot)];
    const HostAnswer answer = entry.Running ? entry.Running->hostAnswer() : HostAnswer{};
    restoreStartName(slot);
    const QString host = HostGate::hostOf(task->Url);
    const std::optional<double> asked
        = answer.RetryAfter.isEmpty() ? std::nullopt : RetryAfterSeconds(answer.RetryAfter, m_utcNow());
    const HostGate::SlowDown verdict = m_gate.slowDown(host, asked, ++m_slowDownsByTask[task->Url]);
    unloadSlot(slot);
    ClearTaskProgress(*task);
    if (verdict.FailTask) {
        m_slowDownsByTask.remove(task->Url);
        SetTaskOutcome(*task, verdict.WaitSeconds > HostGate::kLongestWaitSeconds ? TaskOutcome::SlowDownTooLong
                                                                                   : TaskOutcome::SlowDownRepeated);
        m_model.taskChanged(position);
        showHostWait();
        finishTransferSteps(position);
        return;
    }
    sendBackForHost(position);
}

void DownloadScheduler::sendBackForHost(int position)
{
    // Back to the queue, not ended: no result, no sound, no sign-in.
    DownloadTask& task = *m_model.list().TaskAt(position);
    SetTaskOutcome(task, TaskOutcome::WaitingForHost);
    showWaitInRow(task);
    m_model.taskChanged(position);
    showHostWait();
    m_lastFinishTime = m_clock();
    emit transferEnded(position);
    refillSoon();
}

void DownloadScheduler::showWaitInRow(DownloadTask& task)
{
    const QString host = HostGate::hostOf(task.Url);
    if (m_bulkHeldHosts.contains(host)) {
        task.Progress = QString::fromUtf16(outcometexts::kWaitingForAnswer);
        return;
    }
    const double wait = m_gate.waitSeconds(host);
    if (wait > 0)
        task.Progress = HostWaitText(wait);
    else
        ClearTaskProgress(task);
}

void DownloadScheduler::refusedByHost(int slot)
{
    DownloadTask* task = m_model.list().TaskAt(m_slots[static_cast<size_t>(slot)].Position);
    restoreStartName(slot);
    if (task != nullptr) {
        ClearTaskProgress(*task); // the refusal's bytes are not the file's
        m_gate.refused(HostGate::hostOf(task->Url));
    }
    endWithOutcome(slot, TaskOutcome::Refused);
    showHostWait();
}

void DownloadScheduler::updateHostWaits()
{
    // The rows sent back to wait say so in their outcome; a command that
    // changed one since took that away. While the bulk question waits, the
    // untouched rows of the hosts it holds back wait for their host too.
    DownloadList& list = m_model.list();
    for (int p = 1; p <= list.count(); ++p) {
        DownloadTask& task = *list.TaskAt(p);
        if (task.State != TaskState::Waiting)
            continue;
        if (task.Outcome != TaskOutcome::WaitingForHost) {
            if (m_bulkHeldHosts.isEmpty() || !IsUntouched(task)
                || !m_bulkHeldHosts.contains(HostGate::hostOf(task.Url)))
                continue;
            SetTaskOutcome(task, TaskOutcome::WaitingForHost);
        }
        showWaitInRow(task);
        m_model.taskChanged(p);
    }
    showHostWait();
}

void DownloadScheduler::showHostWait()
{
    const QString host = m_gate.longestWaitingHost();
    QString text;
    if (!m_bulkAskedHost.isEmpty()) {
        text = BulkAnswerAwaitedStatusText(m_bulkAskedHost);
    } else if (!host.isEmpty()) {
        const double resumeAt = m_clock() + m_gate.waitSeconds(host);
        text = m_gate.pausedByRefusals(host) ? HostPausedStatusText(host, resumeAt)
                                             : HostSlowDownStatusText(host, resumeAt);
    }
    // The question's text is said again every second: a transfer of another
    // host that reports its connection must not hide it while it waits.
    if (text == m_hostWaitText && m_bulkAskedHost.isEmpty())
        return;
    m_hostWaitText = text;
    emit stateTextChanged(text);
}
