#pragma once

#include "transfers/progressgate.h"
#include "transfers/stallwatch.h"
#include "transfers/transfer.h"

#include "core/secondsclock.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>

class BrowserPage;
class BrowserProfile;
class BrowserTransferFactory;
class QWebEngineDownloadRequest;
class QWebEngineLoadingInfo;
class QWebEnginePage;
struct ProgramValues;

// The browser's method: the program's profile itself opens the task's address
// in a page of its own, so the site sees the browser (its identity, its
// request headers, its cookies, its scripts) and a bot check runs and passes
// as it would for the user. The PDF that arrives is a download of the
// profile, accepted into a hidden part file beside the target and renamed
// over it only when whole; a document that arrives instead is saved as the
// task's file, as the other methods save one, so type correction and the
// sign-in see it. A check that stays on screen needs the user: the transfer
// says so through its factory and waits, without counting it as a stall.
class BrowserTransfer final : public Transfer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserTransfer)

public:
    struct Timing {
        double StallTimeoutSeconds = 300;
        // A check page still on screen this long after it came needs the user.
        int UserCheckAfterMs = 8000;
        // A load that failed may still turn into a download; this long is given.
        int DownloadWaitMs = 3000;
    };

    BrowserTransfer(BrowserProfile& profile, BrowserTransferFactory& owner, const ProgramValues& values,
                    SecondsClock clock, Timing timing, bool visitRefererFirst);
    ~BrowserTransfer() override;

    void BeginDownload(const QString& url, const QString& saveFile, const QString& referer) override;
    void Cancel() override;
    BodySample bodySample() const override { return m_sample; }
    // The engine tells the document's status but none of its headers: a
    // "Retry-After" stays unread, and the host's back-off applies.
    HostAnswer hostAnswer() const override { return {m_status, {}}; }

    // The watchdog's once-a-second look; public so tests can move time.
    void watchdogTick();

    QWebEnginePage* page() const;
    bool waitingForUser() const { return m_waitingForUser; }
    // The profile's download request is this transfer's; accepted at once
    // (later the engine has cancelled it). Called by the factory.
    bool takeDownload(QWebEngineDownloadRequest* request);

private:
    enum class Phase { Idle, VisitingReferer, Fetching, Downloading, SavingPage, Ended };

    void fetch();
    void onLoading(const QWebEngineLoadingInfo& info);
    void documentArrived();
    void loadFailed();
    void onDownloadProgress();
    void onDownloadFinished();
    void savePage(const QString& html);
    void checkForUser();
    void userCheckOver();
    void complete(qint64 received, qint64 total);
    void fail(const QString& reason);
    void end();
    void dropPartFile();

    BrowserProfile& m_profile;
    QPointer<BrowserTransferFactory> m_owner;
    const ProgramValues& m_values;
    Timing m_timing;
    bool m_visitRefererFirst;
    StallWatch m_stall;
    ProgressGate m_progress;

    Phase m_phase = Phase::Idle;
    QUrl m_url;
    QString m_referer;
    QString m_target;
    QString m_part;
    bool m_replaces = false; // the target was there at the start: a whole body replaces it
    bool m_checkSeen = false;
    int m_status = 0; // of the document last shown; 0 before one came
    bool m_waitingForUser = false;
    qint64 m_bytesRead = 0;
    qint64 m_bytesMax = 0;
    BodySample m_sample;

    QPointer<BrowserPage> m_page;
    QPointer<QWebEngineDownloadRequest> m_download;
    QTimer m_watchdog;
    QTimer m_userTimer;
    QTimer m_failTimer;
};
