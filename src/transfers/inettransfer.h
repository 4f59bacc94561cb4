#pragma once

#include "networkcontext.h"
#include "partfile.h"
#include "stallwatch.h"
#include "transfer.h"

#include "core/secondsclock.h"

#include <QPointer>
#include <QTimer>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
struct ProgramValues;

// The single-transfer method's transfer: the referring page sent, the proxy
// honoured, the response headers read before anything is decided, and the
// body streamed to disk in pieces of at most 2048 bytes. It is started
// without a save file: once the headers are in it reports them and waits for
// its owner to name the file (the duplicate policy is the owner's business).
// A response without a usable length is fetched again as a plain whole-body
// request.
class InetTransfer final : public Transfer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InetTransfer)

public:
    struct Timing {
        int HeaderWaitMs = 30000;       // response headers must come within this
        double StallTimeoutSeconds = 300;
    };

    InetTransfer(NetworkContext network, const ProgramValues& values, SecondsClock clock, Timing timing,
                 QObject* parent = nullptr);
    ~InetTransfer() override;

    void BeginDownload(const QString& url, const QString& saveFile, const QString& referer) override;
    void SaveInto(const QString& saveFile) override;
    void Cancel() override;

    // The stall look, once a second while a body streams; public for tests.
    void stallTick();

private:
    enum class Phase { Idle, Headers, AwaitingFile, Body, Whole };

    void setState(int state, int code = 0, const QString& text = {});
    void onMetaData();
    void onHeadersDone();
    void onReadyRead();
    void onFinished();
    void fetchWhole();
    void onWholeReadyRead();
    void onWholeFinished();
    void bodyComplete();
    void fail(const QString& reason);
    void end();
    QUrl requestUrl() const;

    NetworkContext m_network;
    const ProgramValues& m_values;
    Timing m_timing;
    StallWatch m_stall;
    std::unique_ptr<QNetworkAccessManager> m_manager; // its own, for its own proxy

    Phase m_phase = Phase::Idle;
    QString m_url;
    qint64 m_size = 0;
    QString m_path;
    PartFile m_part;
    QPointer<QNetworkReply> m_reply;
    QTimer m_headerTimer;
    QTimer m_stallTimer;
};

// Makes single-transfer method transfers over one network context; each
// reads the proxy and the size limit of the moment it starts.
class InetTransferFactory final : public TransferFactory {
public:
    InetTransferFactory(NetworkContext network, const ProgramValues& values, SecondsClock clock,
                        InetTransfer::Timing timing = {});
    std::unique_ptr<Transfer> createTransfer() override;

private:
    NetworkContext m_network;
    const ProgramValues& m_values;
    SecondsClock m_clock;
    InetTransfer::Timing m_timing;
};
