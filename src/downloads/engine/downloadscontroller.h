#pragma once

#include "downloadscheduler.h"
#include "queuedprompts.h"

#include "downloads/list/downloadlist.h"
#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/listcommands.h"
#include "downloads/list/listordering.h"
#include "transfers/curllayer.h"
#include "transfers/downloader.h"
#include "transfers/inettransfer.h"

#include "core/secondsclock.h"

#include <QNetworkCookieJar>
#include <QObject>

class Shell;
class SoundPlayer;
class UserPrompts;
struct ProgramValues;

// What a download window's engine is built with beyond the program-wide values.
struct DownloadsSetup {
    QString UserAgent;                      // the browser's, sent by every transfer
    SecondsClock Clock = SecondsSinceMidnight;
    InetTransfer::Timing InetTiming{};
    QNetworkCookieJar* CookieJar = nullptr; // shared with the browsers; the engine's own when none
};

// The engine of one download window, wired in one step: the HTTP layer and
// cookie jar every transfer shares, the transfer factories of both
// methods, the list and its table model, the scheduler, the list commands and
// the ordering. The window binds widgets to these; tests and benchmarks drive
// them without one.
class DownloadsController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadsController)

public:
    // values are the program-wide values, read live by every part: a change
    // made through applyOptions reaches the next transfer that starts.
    DownloadsController(ProgramValues& values, UserPrompts& prompts, Shell& shell, SoundPlayer& sounds,
                        DownloadsSetup setup = {}, QObject* parent = nullptr);
    ~DownloadsController() override;

    DownloadList& list() { return m_list; }
    DownloadTableModel& model() { return m_model; }
    DownloadScheduler& scheduler() { return m_scheduler; }
    DownloadListCommands& commands() { return m_commands; }
    DownloadListOrdering& ordering() { return m_ordering; }
    CurlLayer& httpLayer() { return m_layer; }
    // Messages shown once the handler that raised them has returned, for
    // whatever may run from a timer (the window is built by a hand-off).
    UserPrompts& queuedPrompts() { return m_queuedPrompts; }
    QNetworkCookieJar& cookieJar() { return *m_context.CookieJar; }
    const ProgramValues& values() const { return m_values; }
    // The engine's clock: seconds since midnight.
    double now() const { return m_clock(); }

    // The options dialog was confirmed: the method, proxy and size limit in
    // force from the next start.
    void applyOptions(const ProgramValues& values);

private:
    ProgramValues& m_values;
    SecondsClock m_clock;
    QueuedPrompts m_queuedPrompts;
    CurlLayer m_layer;
    QNetworkCookieJar m_ownJar;
    NetworkContext m_context;
    DownloaderFactory m_parallel;
    InetTransferFactory m_single;
    DownloadList m_list;
    DownloadTableModel m_model;
    DownloadScheduler m_scheduler;
    DownloadListCommands m_commands;
    DownloadListOrdering m_ordering;
};
