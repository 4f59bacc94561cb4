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

// The single-transfer method's transfer: the referring page sent, the proxy
// honoured, the response headers read before anything is decided, and the
// body written as it comes into the file its owner names. It is started
// without a save file: once the headers are in it reports them and the body
// waits (held by the layer) until its owner names the file (the duplicate
// policy is the owner's business). A response without a usable length is
// fetched again as a plain whole-body request.
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
    BodySample bodySample() const override { return m_part.committedSample(); }
    HostAnswer hostAnswer() const override { return m_answer; }

    // The stall look, once a second while a body streams; public for tests.
    void stallTick();

private:
    enum class Phase { Idle, Headers, AwaitingFile, Body, Whole };

    void setState(int state, int code = 0, const QString& text = {});
    void startExchange(const HttpRequest& request);
    void onHead();
    void onHeadersDone();
    void onBody();
    void onFinished();
    void fetchWhole(bool fromThisAnswer);
    void finishBody();
    void finishWhole();
    void bodyComplete();
    bool failedRefusal();
    void fail(const QString& reason);
    void end();
    void dropExchange();
    HttpRequest baseRequest() const;

    NetworkContext m_network;
    const ProgramValues& m_values;
    Timing m_timing;
    StallWatch m_stall;

    Phase m_phase = Phase::Idle;
    QString m_url;
    qint64 m_size = 0;
    QString m_path;
    bool m_diskRefused = false;
    PartFile m_part;
    ProgressGate m_progress;
    std::unique_ptr<HttpExchange> m_exchange;
    HostAnswer m_answer;
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
