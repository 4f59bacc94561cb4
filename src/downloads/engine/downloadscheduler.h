#pragma once

#include "browserretrybook.h"
#include "hostgate.h"
#include "schedulerswitches.h"

#include "downloads/list/downloadactivity.h"
#include "downloads/list/savenaming.h"
#include "downloads/list/taskoutcome.h"

#include "core/secondsclock.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class AutoLogin;
class DownloadTableModel;
class SoundPlayer;
class Transfer;
class TransferFactory;
class UserPrompts;
struct DownloadTask;
struct HostAnswer;
struct ProgramValues;
struct TransferHeaders;

// Turns waiting tasks into running transfers. The scheduler tick starts tasks
// in free slots (up to six parallel transfers, or one single-transfer method
// transfer in slot 1), the housekeeping tick keeps the busy flag, the counters
// and the automatic start, re-download and stop rules. Transfers report
// values; the scheduler alone writes them into the tasks, owns the busy flag
// and stops transfers. Every start, in every method, goes through the host
// gate: a host that asked to slow down or refused gets nothing until its
// wait is over, and starts to one host keep the pace of the options.
class DownloadScheduler final : public QObject, public DownloadActivity {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadScheduler)

public:
    static constexpr int kMaxSlots = 6;
    // More starts than this to one host within an hour, with no hourly cap
    // set, and the user is asked once a run whether to go on.
    static constexpr int kBulkStartsPerHour = 200;

    // parallel makes the transfers of the parallel method; the single-transfer
    // method's come from setSingleTransferFactory. Messages go through prompts:
    // give it prompts that never block inside a tick (QueuedPrompts).
    DownloadScheduler(DownloadTableModel& model, ProgramValues& values, TransferFactory& parallel,
                      SoundPlayer& sounds, UserPrompts& prompts, SecondsClock clock, QObject* parent = nullptr);
    ~DownloadScheduler() override;

    SchedulerSwitches& switches() { return m_switches; }
    const SchedulerSwitches& switches() const { return m_switches; }
    void setAutoLogin(AutoLogin* login) { m_login = login; }
    void setSingleTransferFactory(TransferFactory* factory) { m_single = factory; }
    // The date and time a "Retry-After" date is read against; the real one
    // unless a test drives it.
    void setUtcClock(std::function<QDateTime()> utcNow) { m_utcNow = std::move(utcNow); }
    const HostGate& hostGate() const { return m_gate; }
    // The browser's transfers: method 3 runs its tasks with browser, and the
    // fallback of methods 1 and 2 retries a task the site's bot check refused
    // with retry (which lets the check run on the task's page first). Without
    // them method 3 has nothing to run with and there is no fallback.
    void setBrowserTransferFactories(TransferFactory* browser, TransferFactory* retry)
    {
        m_browser = browser;
        m_browserRetry = retry;
    }

    // The window has loaded: the housekeeping timer runs from now on, until
    // the window closes.
    void startHousekeeping();
    void stopHousekeeping();

    void StartDownloads();
    void StopDownloads();
    void ToggleDownloadMethod();
    void ScheduleTick();
    void HousekeepingTick();
    void UpdateStatusCounters();

    // The single-transfer method's start of the task at this position in
    // slot 1. A task that comes while the slot is still busy goes back to the
    // queue, marked "等待重新下载".
    void StartInetTask(int position);

    bool DownloadsActive() const override;
    bool TransferBusy() const override { return m_transferBusy; }
    bool SchedulerEnabled() const override { return m_scheduleTimer.isActive(); }

    double LastFinishTime() const { return m_lastFinishTime; }
    void setLastFinishTime(double seconds) { m_lastFinishTime = seconds; }
    int slotPosition(int slot) const;
    bool slotLoaded(int slot) const;
    int DownloadMethod() const;
    QString methodLabelText() const;     // "下载方式：2"
    bool threadCountEnabled() const;     // the thread-count list is usable with methods 2 and 3

    // The values in force changed (method, proxy, size limit): the next start
    // uses them. Switching to the single-transfer method leaves one slot.
    void optionsChanged(int previousMethod);

signals:
    void statusCountersChanged(const QString& text);  // status bar panel 4
    void statusTextChanged(const QString& text);      // status bar panel 2
    void stateTextChanged(const QString& text);       // status bar panel 3: the connection's state
    void scrollToTask(int position);
    void schedulerEnabledChanged(bool enabled);       // Shape1
    void startMenuEnabledChanged(bool enabled);       // "开始下载"
    void switchesChanged();                           // ticks cleared by the stop command
    void methodChanged();
    // A transfer ended, whatever the way: finished, failed, skipped or stopped.
    void transferEnded(int position);

private:
    struct Slot {
        std::unique_ptr<Transfer> Running;
        bool Single = false;       // a single-transfer method transfer
        bool BodyStarted = false;  // told where its body goes after the headers
        bool SizeUnknown = false;  // its body comes without an announced length
        TransferFactory* Source = nullptr; // what made it
        QString SavePath;          // given at the start; empty when chosen at the headers
        QString StartName;         // the task's name and type when it started, before
        QString StartType;         // an answer's headers changed them
        QString BodyPath;          // the name the body takes when whole: the start's path or the headers'
        int Position = 0;          // the task's (1-based) it runs, or ran last
    };

    void setSchedulerEnabled(bool enabled);
    // Set while a transfer is loaded, cleared once the scheduler is off.
    void updateBusyFlag();
    void methodSwitched();
    int findStartableTask(bool ensureFolders);
    // The tick's starts: one in slot 1, or one per free slot.
    void startTasks();
    // Whether the gate lets a transfer to the host start now; notes the
    // shortest wait of those it holds back, and asks the bulk question.
    bool hostMayStart(const QString& host);
    void askBulkQuestionSoon(const QString& host);
    // After a refusal the task is the task it was before the answer's headers.
    void restoreStartName(int slot);
    // 429 or 503: the task waits for its host, or fails past the gate's limits.
    void slowedDown(int slot);
    // A plain 403: the task fails; the third in a row pauses the host.
    void refusedByHost(int slot);
    // The task waits in the queue for its host, its row showing the wait.
    void sendBackForHost(int position);
    void showWaitInRow(DownloadTask& task);
    // The rows' countdowns and status panel 3, once a second; while the bulk
    // question waits for its answer, what they say is that.
    void updateHostWaits();
    void showHostWait();
    // Downloading, progress emptied, scrolled into view when asked.
    void markStarted(int position);
    void StartSlotTask(int slot, int position, const QString& url, const QString& savePath);
    bool loadSlot(int slot, int position, TransferFactory* factory, bool single);
    TransferFactory* slotFactory();
    // The fallback: the task in this slot, refused by the bot check, runs
    // again through the browser, in the same slot at once or from the queue
    // once its host may be asked again; false when it may not.
    bool retryInBrowser(int slot);
    // The browser's retry of the task in the slot, into the path (chosen
    // here when empty).
    void startBrowserRetry(int slot, int position, QString path, bool single);
    void unloadSlot(int slot);
    // A name is taken by a file, or by a body on its way to it.
    NameTaken nameTaken() const;
    bool bodyOnItsWayTo(const QString& path) const;
    // What a killed run left in the folder goes before this run's first start there.
    void removeLeftoversOnce(const QString& folder);
    bool overSizeLimit(qint64 bytes) const;
    void onHeaders(int slot, const TransferHeaders& headers);
    void onProgress(int slot, qint64 bytesRead, qint64 bytesMax);
    void onComplete(int slot, qint64 bytesRead, qint64 bytesMax);
    void onError(int slot, const QString& reason);
    // Ends the slot's transfer with an outcome that is not a received file.
    void endWithOutcome(int slot, TaskOutcome outcome);
    // The steps every ended transfer takes: status text, sounds, the automatic
    // login, the finish time and (with no interval) the next start.
    void finishTransferSteps(int position);
    void refillSoon();
    void playSound(int id);

    DownloadTableModel& m_model;
    ProgramValues& m_values;
    TransferFactory& m_parallel;
    SoundPlayer& m_sounds;
    UserPrompts& m_prompts;
    SecondsClock m_clock;
    AutoLogin* m_login = nullptr;
    TransferFactory* m_single = nullptr;
    TransferFactory* m_browser = nullptr;
    TransferFactory* m_browserRetry = nullptr;
    BrowserRetryBook m_browserRetries;

    HostGate m_gate;
    std::function<QDateTime()> m_utcNow = [] { return QDateTime::currentDateTimeUtc(); };
    QHash<QString, int> m_slowDownsByTask; // by address: "slow down" answers in a row
    QString m_hostWaitText;                // what status panel 3 says of the hosts' waits
    double m_shortestHeldWait = 0;         // of the starts held back in this tick; 0: none
    bool m_bulkAsking = false;
    bool m_bulkAnswered = false;           // in this run
    QString m_bulkAskedHost;               // the host the question is about, while it is asked
    QSet<QString> m_bulkHeldHosts;         // held back until the user answers it
    QTimer m_gateTimer;                    // the next start a held-back host allows
    QSet<QString> m_sweptFolders;          // of leftovers, in this run

    SchedulerSwitches m_switches;
    std::array<Slot, kMaxSlots + 1> m_slots; // element 0 is never used
    bool m_transferBusy = false;
    double m_lastFinishTime = 0;
    bool m_refillQueued = false;

    QTimer m_scheduleTimer;
    QTimer m_housekeepingTimer;
};
