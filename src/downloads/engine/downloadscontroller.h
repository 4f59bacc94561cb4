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

#include <memory>

class ListSaver;
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

// The program's download engine, wired in one step and built once, before
// any window: the HTTP layer and cookie jar every transfer shares, the
// transfer factories of both methods, the list (kept from run to run when
// asked) and its table model, the scheduler, the list commands and the
// ordering. The download window binds widgets to these while it is open;
// the search window's hand-off, tests and benchmarks use them without it.
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

    // Keeps the list in the file at path from run to run: what the file
    // holds comes back now (a damaged file is set aside, and the user told
    // once the caller has returned), and every change is saved a moment
    // later. false when the file could be neither read nor set aside: it is
    // then left alone and nothing is saved to it.
    bool keepListIn(const QString& path);
    // Saves at once what is not saved yet (a window that closes).
    void saveListNow();

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
    // Last: it saves the list when the engine goes, before the list does.
    std::unique_ptr<ListSaver> m_listSaver;
};
