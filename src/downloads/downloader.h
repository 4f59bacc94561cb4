#pragma once

#include "networkcontext.h"
#include "partfile.h"
#include "secondsclock.h"
#include "transfer.h"

#include <QPointer>
#include <QTimer>

class QNetworkReply;

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

    void setStallTimeoutSeconds(double seconds) { m_stallTimeout = seconds; }
    // A body without an announced size is held to this many bytes while it
    // streams; past it the transfer reports the size it reached, which the
    // window's size rule then skips. <= 0: no limit.
    void setSizeLimitBytes(double bytes) { m_sizeLimit = bytes; }

    void BeginDownload(const QString& url, const QString& saveFile, const QString& referer) override;
    int CancelAsyncRead() override;

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
    bool overLimit() const;

    NetworkContext m_context;
    SecondsClock m_clock;
    double m_stallTimeout = kDefaultStallTimeoutSeconds;
    double m_sizeLimit = 0;

    QString m_saveFile;
    QString m_address;
    bool m_targetExisted = false;
    bool m_fallback = false;
    bool m_ended = false;
    qint64 m_bytesRead = 0;
    qint64 m_bytesMax = 0;
    qint64 m_lastSeen = 0;
    double m_lastChange = 0;

    QTimer m_watchdog;
    QPointer<QNetworkReply> m_reply;
    PartFile m_part;
};

// Makes Downloaders over one network context, each with the size limit and
// stall time-out of the moment.
class DownloaderFactory final : public TransferFactory {
public:
    DownloaderFactory(NetworkContext context, SecondsClock clock);
    std::unique_ptr<Transfer> createTransfer() override;

    void setSizeLimitBytes(double bytes) { m_sizeLimit = bytes; }
    void setStallTimeoutSeconds(double seconds) { m_stallTimeout = seconds; }

private:
    NetworkContext m_context;
    SecondsClock m_clock;
    double m_sizeLimit = 0;
    double m_stallTimeout = Downloader::kDefaultStallTimeoutSeconds;
};
