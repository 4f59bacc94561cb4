#include "inettransfer.h"

#include "hostrefusal.h"
#include "inetconnection.h"

#include "core/programvalues.h"
#include "core/urlfunctions.h"

#include <QPointer>

using namespace Qt::Literals::StringLiterals;

InetTransfer::InetTransfer(NetworkContext network, const ProgramValues& values, SecondsClock clock, Timing timing,
                           QObject* parent)
    : Transfer(parent)
    , m_network(std::move(network))
    , m_values(values)
    , m_timing(timing)
    , m_stall(std::move(clock), timing.StallTimeoutSeconds, StallWatch::Rule::MoreThan)
{
    m_headerTimer.setSingleShot(true);
    connect(&m_headerTimer, &QTimer::timeout, this, &InetTransfer::onHeadersDone);
    m_stallTimer.setInterval(1000);
    connect(&m_stallTimer, &QTimer::timeout, this, &InetTransfer::stallTick);
}

InetTransfer::~InetTransfer()
{
    Cancel();
}

void InetTransfer::setState(int state, int code, const QString& text)
{
    emit StateChanged(state, InetStateText(state, code, text));
}

HttpRequest InetTransfer::baseRequest() const
{
    HttpRequest request;
    request.Url = QUrl(m_url.trimmed());
    const InetConnection connection = InetConnectionFor(m_url, m_values);
    if (connection.Https)
        request.Url.setScheme(u"https"_s);
    if (connection.UseProxy) {
        request.ProxyHost = connection.ProxyHost;
        request.ProxyPort = connection.ProxyPort;
    }
    return request;
}

void InetTransfer::startExchange(const HttpRequest& request)
{
    dropExchange();
    m_diskRefused = false;
    m_progress.reset();
    m_exchange = std::make_unique<HttpExchange>(m_network);
    connect(m_exchange.get(), &HttpExchange::headReceived, this, &InetTransfer::onHead);
    connect(m_exchange.get(), &HttpExchange::bodyArrived, this, &InetTransfer::onBody);
    connect(m_exchange.get(), &HttpExchange::finished, this, &InetTransfer::onFinished);
    m_exchange->start(request);
}

void InetTransfer::BeginDownload(const QString& url, const QString& saveFile, const QString& referer)
{
    m_url = url;
    m_path = saveFile;
    HttpRequest request = baseRequest();
    request.Headers.append({"Referer", (referer.isEmpty() ? UrlSiteRoot(url) : referer).toUtf8()});
    m_size = 0;
    m_phase = Phase::Headers;
    setState(3);
    startExchange(request);
    setState(5);
    m_headerTimer.start(m_timing.HeaderWaitMs);
}

void InetTransfer::onHead()
{
    if (m_phase != Phase::Headers)
        return;
    setState(7);
    setState(8);
    onHeadersDone();
}

void InetTransfer::onHeadersDone()
{
    if (m_phase != Phase::Headers)
        return;
    m_headerTimer.stop();
    // No head in time (or none at all) is no answer, and neither is a
    // redirect that was not followed.
    if (!m_exchange || !m_exchange->headAvailable() || m_exchange->head().Status < 200
        || (m_exchange->head().Status >= 300 && m_exchange->head().Status < 400)) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    const HttpResponseHead& head = m_exchange->head();
    m_answer = HostAnswerOf(head);
    // A "slow down" needs no look at its body: no file is chosen for it.
    if (head.Status == 429) {
        fail(RefusalReason(HostRefusal::SlowDown));
        return;
    }
    m_size = head.announcedLength();

    TransferHeaders headers;
    headers.AnnouncedSize = m_size;
    headers.ContentType = QString::fromLatin1(head.header("Content-Type")).trimmed();
    headers.FinalUrl = head.Url;
    m_phase = Phase::AwaitingFile;
    if (!m_path.isEmpty()) {
        SaveInto(m_path);
        return;
    }
    emit HeadersReceived(headers);
}

void InetTransfer::SaveInto(const QString& saveFile)
{
    if (m_phase != Phase::AwaitingFile || !m_exchange)
        return;
    m_path = saveFile;
    if (m_size <= 0) {
        // What may be a refusal is read from this answer: asking again
        // would send a host that refuses a second request at once.
        const int status = m_exchange->head().Status;
        fetchWhole(status == 403 || status == 503);
        return;
    }
    if (m_values.maxFileSizeBytes() > 0 && static_cast<double>(m_size) > m_values.maxFileSizeBytes()) {
        // The owner's size rule decides such a body; none of it is written.
        QPointer<InetTransfer> self(this);
        emit DownloadProgress(0, m_size, m_path);
        if (self && m_phase == Phase::AwaitingFile)
            fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    if (!m_part.open(m_path)) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    m_phase = Phase::Body;
    m_stall.restart();
    m_stallTimer.start();
    // The body the layer held comes now, straight into the file.
    m_exchange->setBodySink([this](const char* data, qint64 size) {
        if (m_part.write(data, size))
            return true;
        m_diskRefused = true;
        return false;
    });
}

void InetTransfer::onBody()
{
    if (m_phase != Phase::Body && m_phase != Phase::Whole)
        return;
    m_stall.grew(m_part.size());
    if (m_phase == Phase::Whole) {
        if (m_part.overLimit())
            onFinished(); // the sink stopped the body; the end says so
        return;
    }
    if (m_progress.open())
        emit DownloadProgress(std::min(m_part.size(), m_size), m_size, m_path);
}

void InetTransfer::onFinished()
{
    if (!m_exchange)
        return;
    const HttpOutcome& outcome = m_exchange->outcome();
    const int status = m_exchange->head().Status;
    if (!outcome.ok() && m_phase != Phase::Whole)
        setState(11, status, outcome.Error);
    else if (status >= 400 && m_phase != Phase::Whole)
        setState(11, status, QString::fromLatin1(m_exchange->head().Reason));
    switch (m_phase) {
    case Phase::Headers:
        onHeadersDone(); // a response without a head, or none at all
        return;
    case Phase::Body:
        finishBody();
        return;
    case Phase::Whole:
        finishWhole();
        return;
    case Phase::AwaitingFile: // held by the layer until the file is chosen
    case Phase::Idle:
        return;
    }
}

void InetTransfer::finishBody()
{
    // A refusal, even one cut short, is told as what it is.
    if (m_exchange->running() || failedRefusal())
        return;
    if (!m_diskRefused && m_part.size() >= m_size) {
        bodyComplete();
        return;
    }
    // The connection ended short of the announced size (or the disk refused):
    // nothing more will come, so there is no point waiting for the stall
    // time-out. A half paper never takes the paper's name.
    emit DownloadProgress(std::min(m_part.size(), m_size), m_size, m_path);
    m_part.discard();
    fail(QString::fromUtf16(kReasonUnreachable));
}

bool InetTransfer::failedRefusal()
{
    // A refusal never becomes the task's file (the discard leaves an
    // overwritten file as it was); past the bot check its owner may try the
    // browser instead.
    if (!m_exchange)
        return false;
    const HostRefusal refusal = ClassifyAnswer(m_exchange->head().Status, m_part.head());
    if (refusal == HostRefusal::None)
        return false;
    fail(RefusalReason(refusal));
    return true;
}

void InetTransfer::bodyComplete()
{
    setState(12);
    const qint64 written = m_part.size();
    if (!m_part.commit()) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    end();
    emit DownloadComplete(std::min(written, m_size), m_size, m_path);
}

void InetTransfer::stallTick()
{
    if (m_phase != Phase::Body && m_phase != Phase::Whole)
        return;
    if (!m_stall.stalled(m_part.size()))
        return;
    // What arrived is no paper: it never takes the paper's name.
    m_part.discard();
    fail(QString::fromUtf16(kReasonTimeout));
}

void InetTransfer::fetchWhole(bool fromThisAnswer)
{
    if (!fromThisAnswer)
        dropExchange();
    m_part.setSizeLimitBytes(m_values.maxFileSizeBytes());
    if (!m_part.open(m_path)) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    m_phase = Phase::Whole;
    m_stall.restart();
    // Otherwise a new request without the referring page, as a plain fetch
    // of the address.
    if (!fromThisAnswer)
        startExchange(baseRequest());
    m_exchange->setBodySink([this](const char* data, qint64 size) {
        if (!m_part.write(data, size)) {
            m_diskRefused = true;
            return false;
        }
        return !m_part.overLimit();
    });
    m_stallTimer.start();
}

void InetTransfer::finishWhole()
{
    if (m_part.overLimit()) {
        // An endless or oversized body: reported as the size it reached, so
        // the owner's size rule skips it like an announced one.
        QPointer<InetTransfer> self(this);
        const qint64 reached = m_part.size();
        emit DownloadProgress(reached, reached, m_path);
        if (self && m_phase == Phase::Whole)
            fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    if (m_exchange->running() || failedRefusal())
        return;
    const qint64 received = m_part.size();
    // A single byte counts as nothing; a body cut off has no known end.
    if (!m_exchange->outcome().ok() || m_diskRefused || received < 2) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    setState(12);
    if (!m_part.commit()) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    end();
    emit DownloadComplete(received, received, m_path);
}

void InetTransfer::fail(const QString& reason)
{
    m_part.discard();
    end();
    emit DownloadError(reason, m_path);
}

void InetTransfer::dropExchange()
{
    if (!m_exchange)
        return;
    m_exchange->abort();
    // Not deleted here: this may run inside one of the exchange's signals.
    m_exchange.release()->deleteLater();
}

void InetTransfer::end()
{
    dropExchange();
    m_headerTimer.stop();
    m_stallTimer.stop();
    m_phase = Phase::Idle;
}

void InetTransfer::Cancel()
{
    m_part.discard();
    end();
}

InetTransferFactory::InetTransferFactory(NetworkContext network, const ProgramValues& values, SecondsClock clock,
                                         InetTransfer::Timing timing)
    : m_network(std::move(network))
    , m_values(values)
    , m_clock(std::move(clock))
    , m_timing(timing)
{
}

std::unique_ptr<Transfer> InetTransferFactory::createTransfer()
{
    return std::make_unique<InetTransfer>(m_network, m_values, m_clock, m_timing);
}
