#pragma once

#include "httpexchange.h"
#include "networkcontext.h"
#include "partfile.h"
#include "progressgate.h"
#include "stallwatch.h"
#include "transfer.h"

#include "core/secondsclock.h"

#include <QTimer>

#include <memory>

struct ProgramValues;

// The parallel method's transfer: one GET over the program's HTTP layer, the
// body written from the layer's buffer straight into the task's file. A new
// target holds the two-byte placeholder from the start (the name is taken at
// once) and the body in place of it; an existing target is replaced only by
// a whole body. A watchdog ends a transfer that received nothing for
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
    // A body is held to this many bytes: one announced larger is reported
    // at its headers and not written, one without an announced size is
    // reported at the size it reached once past it, so the scheduler's size
    // rule skips either. <= 0: no limit.
    void setSizeLimitBytes(double bytes);

    void BeginDownload(const QString& url, const QString& saveFile, const QString& referer) override;
    void Cancel() override;
    BodySample bodySample() const override { return m_part.committedSample(); }
    HostAnswer hostAnswer() const override { return m_answer; }
    // Cancels every read of the download; always 0.
    int CancelAsyncRead();

    // The watchdog's once-a-second look; public so tests can move time.
    void watchdogTick();

    qint64 BytesRead() const { return m_bytesRead; }
    qint64 BytesMax() const { return m_bytesMax; }
    QString address() const { return m_address; }

private:
    void startRead(bool fallback);
    bool takeBody(const char* data, qint64 size);
    void onHead();
    void onBody();
    void onFinished();
    void reportLimitReached();
    void fail(const QString& reason);
    void dropExchange();

    NetworkContext m_context;
    StallWatch m_stall;
    double m_sizeLimit = 0;

    QString m_saveFile;
    QString m_address;
    bool m_targetExisted = false;
    bool m_fallback = false;
    bool m_ended = false;
    bool m_diskRefused = false;
    qint64 m_bytesRead = 0;
    qint64 m_bytesMax = 0;
    HostAnswer m_answer;

    QTimer m_watchdog;
    ProgressGate m_progress;
    PartFile m_part;
    std::unique_ptr<HttpExchange> m_exchange;
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
