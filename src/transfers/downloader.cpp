#include "downloader.h"

#include "hostrefusal.h"

#include "core/pathfunctions.h"
#include "core/programvalues.h"

#include <QPointer>

using namespace Qt::Literals::StringLiterals;

Downloader::Downloader(NetworkContext context, SecondsClock clock, QObject* parent)
    : Transfer(parent)
    , m_context(std::move(context))
    , m_stall(std::move(clock), kDefaultStallTimeoutSeconds, StallWatch::Rule::AtLeast)
{
    m_watchdog.setInterval(1000);
    connect(&m_watchdog, &QTimer::timeout, this, &Downloader::watchdogTick);
}

Downloader::~Downloader()
{
    Cancel();
}

void Downloader::setSizeLimitBytes(double bytes)
{
    m_sizeLimit = bytes;
    m_part.setSizeLimitBytes(bytes);
}

void Downloader::BeginDownload(const QString& url, const QString& saveFile, const QString&)
{
    m_saveFile = saveFile;
    m_targetExisted = FileExists(saveFile);
    m_stall.restart();
    m_watchdog.start();
    m_address = QString(url).replace(u"&amp;"_s, u"&"_s).trimmed();
    if (!m_part.open(saveFile)) {
        // Reported from the event loop: the caller is still inside BeginDownload.
        QTimer::singleShot(0, this, [this] { fail(QString::fromUtf16(kReasonUnreachable)); });
        return;
    }
    startRead(false);
}

void Downloader::startRead(bool fallback)
{
    m_fallback = fallback;
    m_diskRefused = false;
    m_progress.reset();
    dropExchange();
    m_exchange = std::make_unique<HttpExchange>(m_context);
    connect(m_exchange.get(), &HttpExchange::headReceived, this, &Downloader::onHead);
    connect(m_exchange.get(), &HttpExchange::bodyArrived, this, &Downloader::onBody);
    connect(m_exchange.get(), &HttpExchange::finished, this, &Downloader::onFinished);
    m_exchange->setBodySink([this](const char* data, qint64 size) { return takeBody(data, size); });
    m_exchange->start(HttpRequest{.Url = QUrl(m_address)});
}

bool Downloader::takeBody(const char* data, qint64 size)
{
    // Runs inside the layer's read: only the file and the counters, no signals.
    const qint64 announced = m_exchange->head().announcedLength();
    if (m_sizeLimit > 0 && static_cast<double>(announced) > m_sizeLimit)
        return false; // reported at the headers; not a byte of it is kept
    if (!m_part.write(data, size)) {
        m_diskRefused = true; // disk full or file gone
        return false;
    }
    // The watchdog looks at what really arrived, announced size or not.
    m_bytesRead = m_part.size();
    return announced >= 1 || !m_part.overLimit();
}

void Downloader::onHead()
{
    const qint64 announced = m_exchange->head().announcedLength();
    if (announced < 1 || m_ended)
        return;
    m_bytesMax = announced;
    m_progress.open();
    QPointer<Downloader> self(this);
    emit DownloadProgress(m_bytesRead, m_bytesMax, m_saveFile);
    // An owner without a size rule of its own still sees the transfer end.
    if (self && !m_ended && m_sizeLimit > 0 && static_cast<double>(announced) > m_sizeLimit)
        fail(QString::fromUtf16(kReasonUnreachable));
}

void Downloader::onBody()
{
    if (m_ended || m_bytesMax < 1 || !m_progress.open())
        return;
    emit DownloadProgress(m_bytesRead, m_bytesMax, m_saveFile);
}

void Downloader::reportLimitReached()
{
    // An endless or oversized body without an announced size: reported as
    // the size it reached, so the size rule skips it like an announced one.
    QPointer<Downloader> self(this);
    const qint64 reached = m_part.size();
    emit DownloadProgress(reached, reached, m_saveFile);
    if (self && !m_ended)
        fail(QString::fromUtf16(kReasonUnreachable));
}

void Downloader::onFinished()
{
    if (m_ended || !m_exchange)
        return;
    const HttpOutcome outcome = m_exchange->outcome();
    const int status = m_exchange->head().Status;
    m_answer = HostAnswerOf(m_exchange->head());
    const qint64 received = m_part.size();
    m_bytesRead = received;
    if (m_bytesMax < 1 && m_part.overLimit()) {
        reportLimitReached();
        return;
    }
    if (m_diskRefused || (m_sizeLimit > 0 && static_cast<double>(m_bytesMax) > m_sizeLimit)) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    // A refusal is never the task's file, and an empty one is not asked
    // again: a host that said "slow down" gets no second request from here.
    // The bot check's page may be got past by the owner's browser.
    if (const HostRefusal refusal = ClassifyAnswer(status, m_part.head()); refusal != HostRefusal::None) {
        fail(RefusalReason(refusal));
        return;
    }
    // A hostile head (too large, or none at all) fails at once; anything else
    // that brought nothing gets the one plain retry.
    if (received < 1 && !m_fallback && outcome.Result != HttpOutcome::Kind::BadHead) {
        m_bytesMax = 0;
        if (!m_part.rewind()) {
            fail(QString::fromUtf16(kReasonUnreachable));
            return;
        }
        startRead(true);
        return;
    }
    // A single byte of the retry counts as nothing; an error page never
    // replaces a file that was there before.
    if ((m_fallback && received < 2) || received < 1 || (status >= 400 && m_targetExisted)) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    if (!outcome.ok() && m_bytesMax < 1) {
        // Without an announced size only the transfer itself can say the body
        // is whole; cut off, it is not.
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    const qint64 total = m_bytesMax >= 1 ? m_bytesMax : received;
    if (received < total) {
        // Cut short: the task fails, and whatever was at the target stays.
        m_part.discard();
    } else if (!m_part.commit()) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    m_ended = true;
    m_watchdog.stop();
    dropExchange();
    emit DownloadComplete(received, total, m_saveFile);
}

void Downloader::watchdogTick()
{
    if (m_ended)
        return;
    if (m_stall.stalled(m_bytesRead))
        fail(QString::fromUtf16(kReasonTimeout));
}

void Downloader::fail(const QString& reason)
{
    if (m_ended)
        return;
    Cancel();
    m_ended = true;
    emit DownloadError(reason, m_saveFile);
}

void Downloader::Cancel()
{
    m_watchdog.stop();
    dropExchange();
    m_part.discard();
}

void Downloader::dropExchange()
{
    if (!m_exchange)
        return;
    m_exchange->abort();
    // Not deleted here: this may run inside one of the exchange's signals.
    m_exchange.release()->deleteLater();
}

int Downloader::CancelAsyncRead()
{
    Cancel();
    return 0;
}

DownloaderFactory::DownloaderFactory(NetworkContext context, SecondsClock clock, const ProgramValues& values)
    : m_context(std::move(context))
    , m_clock(std::move(clock))
    , m_values(values)
{
}

std::unique_ptr<Transfer> DownloaderFactory::createTransfer()
{
    auto downloader = std::make_unique<Downloader>(m_context, m_clock);
    downloader->setSizeLimitBytes(m_values.maxFileSizeBytes());
    downloader->setStallTimeoutSeconds(m_stallTimeout);
    return downloader;
}
