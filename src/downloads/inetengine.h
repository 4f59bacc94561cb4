#pragma once

#include "networkcontext.h"
#include "partfile.h"
#include "schedulerhooks.h"
#include "secondsclock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class DownloadScheduler;
class DownloadTableModel;
class QNetworkAccessManager;
class QNetworkReply;
class UserPrompts;
struct DownloadTask;
struct ProgramValues;

// The single-transfer method: one task at a time, with the referring page sent
// and the proxy honoured, the response headers read before anything is
// decided, and the body streamed to disk in pieces of at most 2048 bytes. An
// asynchronous state machine; the scheduler's busy flag is set while it runs
// and is also its stop signal.
class InetEngine final : public QObject, public SingleTransferEngine {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InetEngine)

public:
    struct Timing {
        int HeaderWaitMs = 30000;       // response headers must come within this
        double StallTimeoutSeconds = 300;
        int ProgressIntervalMs = 100;   // how often the row is repainted while a body streams
    };

    InetEngine(DownloadTableModel& model, ProgramValues& values, DownloadScheduler& scheduler,
               NetworkContext network, UserPrompts& prompts, SecondsClock clock, QObject* parent = nullptr);
    InetEngine(DownloadTableModel& model, ProgramValues& values, DownloadScheduler& scheduler,
               NetworkContext network, UserPrompts& prompts, SecondsClock clock, Timing timing,
               QObject* parent = nullptr);
    ~InetEngine() override;

    void StartInetTask(int position) override;
    bool StillExecuting() const override;
    void Cancel() override;

    // The stall look, once a second while a body streams; public for tests.
    void stallTick();

signals:
    void stateTextChanged(const QString& text);   // status panel 3
    void statusTextChanged(const QString& text);  // status panel 2: "正在下载:..."
    void transferFinished(int position, bool result);

private:
    enum class Phase { Idle, Headers, Body, Whole };

    DownloadTask* task();
    void InetTransfer();
    void onHeadersDone();
    void onReadyRead();
    void onFinished();
    void InetFetchWhole();
    void onWholeReadyRead();
    void onWholeFinished();
    void bodyComplete();
    void stalled();
    void stopped();
    void finish(bool result);
    void abortReply();
    void showProgress(bool now);
    void applyProxy(bool useProxy, const QString& host, int port);

    DownloadTableModel& m_model;
    ProgramValues& m_values;
    DownloadScheduler& m_scheduler;
    NetworkContext m_network;
    UserPrompts& m_prompts;
    SecondsClock m_clock;
    Timing m_timing;
    std::unique_ptr<QNetworkAccessManager> m_manager; // its own, for its own proxy

    Phase m_phase = Phase::Idle;
    int m_position = 0;
    qint64 m_size = 0;
    qint64 m_written = 0;
    double m_lastGrowth = 0;
    QString m_path;
    PartFile m_part;
    QPointer<QNetworkReply> m_reply;
    QTimer m_headerTimer;
    QTimer m_stallTimer;
    QElapsedTimer m_sinceRepaint;
};
