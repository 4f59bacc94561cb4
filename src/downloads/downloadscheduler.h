#pragma once

#include "downloadactivity.h"
#include "savenaming.h"
#include "secondsclock.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <memory>

class AutoLogin;
class DownloadTableModel;
class SingleTransferEngine;
class SoundPlayer;
class Transfer;
class TransferFactory;
class UserPrompts;
struct DownloadTask;
struct ProgramValues;

// The download window's switches, as plain values the window binds to.
struct SchedulerSwitches {
    int ThreadCount = 3;             // "线程数：" 1..6
    int IntervalSeconds = 0;         // "两个文件下载间隔："
    bool AutoStart = false;          // "当有待下载项时，自动启动下载"
    bool AutoRedownload = false;     // "自动重新下载："
    int RedownloadChoice = 0;        // 0 failed, 1 web pages, 2 both
    bool StopAfterBadResults = false; // "有5个以上下载出错或者网页文件，就停止下载"
    bool Sounds = false;             // "声音提示"
    bool AutoLocate = false;         // "自动定位到下载项"
    bool AutoLogin = false;          // "自动登录"
    DuplicatePolicy Policy = DuplicatePolicy::Rename;
};

// Turns waiting tasks into running transfers: the scheduler tick starts tasks
// in free slots, the housekeeping tick keeps the busy flag, the counters and
// the automatic start, re-download and stop rules, and the transfer handlers
// write each transfer's progress and outcome into its task.
class DownloadScheduler final : public QObject, public DownloadActivity {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadScheduler)

public:
    static constexpr int kMaxSlots = 6;

    DownloadScheduler(DownloadTableModel& model, ProgramValues& values, TransferFactory& transfers,
                      SoundPlayer& sounds, UserPrompts& prompts, SecondsClock clock, QObject* parent = nullptr);
    ~DownloadScheduler() override;

    SchedulerSwitches& switches() { return m_switches; }
    const SchedulerSwitches& switches() const { return m_switches; }
    void setAutoLogin(AutoLogin* login) { m_login = login; }
    void setSingleTransferEngine(SingleTransferEngine* engine) { m_single = engine; }

    // The window has loaded: the housekeeping timer runs from now on.
    void startHousekeeping();

    void StartDownloads();
    void StopDownloads();
    void ToggleDownloadMethod();
    void ScheduleTick();
    void HousekeepingTick();
    void UpdateStatusCounters();

    bool DownloadsActive() const override;
    bool TransferBusy() const override { return m_transferBusy; }
    bool SchedulerEnabled() const override { return m_scheduleTimer.isActive(); }

    // Engine state the single-transfer method shares.
    void setTransferBusy(bool busy) { m_transferBusy = busy; }
    double LastFinishTime() const { return m_lastFinishTime; }
    void setLastFinishTime(double seconds) { m_lastFinishTime = seconds; }
    int slotPosition(int slot) const;
    bool slotLoaded(int slot) const;
    int DownloadMethod() const;
    QString methodLabelText() const;     // "下载方式：2"
    bool threadCountEnabled() const;     // the thread-count list is usable with method 2 only

    // The steps every finished transfer ends with: status text, sounds, the
    // automatic login, the finish time, and (with no interval) the next start.
    // Shared with the single-transfer method.
    void finishTransferSteps(int position);

signals:
    void statusCountersChanged(const QString& text);  // status bar panel 4
    void statusTextChanged(const QString& text);      // status bar panel 2
    void scrollToTask(int position);
    void schedulerEnabledChanged(bool enabled);       // Shape1
    void startMenuEnabledChanged(bool enabled);       // "开始下载"
    void switchesChanged();                           // ticks cleared by the stop command
    void methodChanged();

private:
    void setSchedulerEnabled(bool enabled);
    int findStartableTask(bool ensureFolders);
    // Downloading, progress emptied, scrolled into view when asked.
    void markStarted(int position);
    void StartSlotTask(int slot, int position, const QString& url, const QString& savePath);
    void unloadSlot(int slot);
    void onProgress(int slot, qint64 bytesRead, qint64 bytesMax);
    void onComplete(int slot, qint64 bytesRead, qint64 bytesMax);
    void onError(int slot);
    bool writeProgress(DownloadTask& task, qint64 bytesRead, qint64 bytesMax);
    void refillSoon();
    void playSound(int id);

    DownloadTableModel& m_model;
    ProgramValues& m_values;
    TransferFactory& m_transfers;
    SoundPlayer& m_sounds;
    UserPrompts& m_prompts;
    SecondsClock m_clock;
    AutoLogin* m_login = nullptr;
    SingleTransferEngine* m_single = nullptr;

    SchedulerSwitches m_switches;
    std::array<int, 12> m_slotTable{};
    std::array<std::unique_ptr<Transfer>, kMaxSlots + 1> m_slots; // element 0 is never used
    bool m_transferBusy = false;
    double m_lastFinishTime = 0;
    bool m_refillQueued = false;

    QTimer m_scheduleTimer;
    QTimer m_housekeepingTimer;
};
