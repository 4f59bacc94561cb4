#pragma once

#include "networkcontext.h"
#include "partfile.h"
#include "stallwatch.h"
#include "transfer.h"

#include "core/secondsclock.h"

#include <QPointer>
#include <QTimer>

class QNetworkReply;
struct ProgramValues;

// The parallel method's transfer: one GET over the program's network manager,
// the body streamed to disk beside the target and put in place when it is
// whole. A watchdog ends a transfer that received nothing for
// StallTimeoutSeconds; a read that delivered nothing is tried once more as a
// plain whole-body fetch.
class Downloader final : public Transfer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Downloader)

public:
    Downloader(NetworkContext context, SecondsClock clock, QObject* parent = nullptr);
    ~Downloader() override;

    static constexpr double kDefaultStallTimeoutSeconds = 300;

    void setStallTimeoutSeconds(double seconds) { m_stall.setTimeoutSeconds(seconds); }
    // A body without an announced size is held to this many bytes while it
    // streams; past it the transfer reports the size it reached, which the
    // scheduler's size rule then skips. <= 0: no limit.
    void setSizeLimitBytes(double bytes) { m_part.setSizeLimitBytes(bytes); }

    void BeginDownload(const QString& url, const QString& saveFile, const QString& referer) override;
    void Cancel() override;
    // Cancels every read of the download; always 0.
    int CancelAsyncRead();

    // The watchdog's once-a-second look; public so tests can move time.
    void watchdogTick();

    qint64 BytesRead() const { return m_bytesRead; }
    qint64 BytesMax() const { return m_bytesMax; }
    QString address() const { return m_address; }

private:
    void startRead(bool fallback);
    void onReadyRead();
    void onProgress(qint64 received, qint64 total);
    void onFinished();
    void fail(const QString& reason);

    NetworkContext m_context;
    StallWatch m_stall;

    QString m_saveFile;
    QString m_address;
    bool m_targetExisted = false;
    bool m_fallback = false;
    bool m_ended = false;
    qint64 m_bytesRead = 0;
    qint64 m_bytesMax = 0;

    QTimer m_watchdog;
    QPointer<QNetworkReply> m_reply;
    PartFile m_part;
};

// Makes Downloaders over one network context, each with the size limit the
// program-wide values hold at the moment it is made.
class DownloaderFactory final : public TransferFactory {
public:
    DownloaderFactory(NetworkContext context, SecondsClock clock, const ProgramValues& values);
    std::unique_ptr<Transfer> createTransfer() override;

    void setStallTimeoutSeconds(double seconds) { m_stallTimeout = seconds; }

private:
    NetworkContext m_context;
    SecondsClock m_clock;
    const ProgramValues& m_values;
    double m_stallTimeout = Downloader::kDefaultStallTimeoutSeconds;
};
