#include "downloader.h"

#include "core/pathfunctions.h"
#include "core/programvalues.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kReadBufferBytes = 1024 * 1024;

} // namespace

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

void Downloader::BeginDownload(const QString& url, const QString& saveFile, const QString&)
{
    m_saveFile = saveFile;
    m_targetExisted = FileExists(saveFile);
    if (!m_targetExisted) {
        // Claims the name at once, so a second task of the same name started in
        // the same tick is numbered differently.
        QFile placeholder(saveFile);
        if (placeholder.open(QIODevice::WriteOnly))
            placeholder.write("\x01\x00", 2);
    }
    m_stall.restart();
    m_watchdog.start();
    m_address = QString(url).replace(u"&amp;"_s, u"&"_s).trimmed();
    startRead(false);
}

void Downloader::startRead(bool fallback)
{
    m_fallback = fallback;
    if (!m_part.open(m_saveFile) || m_context.Manager == nullptr) {
        // Reported from the event loop: the caller is still inside BeginDownload.
        QTimer::singleShot(0, this, [this] { fail(QString::fromUtf16(kReasonUnreachable)); });
        return;
    }
    QNetworkReply* reply = m_context.Manager->get(MakeTransferRequest(m_context, QUrl(m_address)));
    // Bounded: the body goes to disk as it comes, never piles up in memory.
    reply->setReadBufferSize(kReadBufferBytes);
    GuardRedirects(reply);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &Downloader::onReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this, &Downloader::onProgress);
    connect(reply, &QNetworkReply::finished, this, &Downloader::onFinished);
}

void Downloader::onReadyRead()
{
    if (!m_reply)
        return;
    const QByteArray chunk = m_reply->readAll();
    if (!m_part.write(chunk.constData(), chunk.size())) {
        fail(QString::fromUtf16(kReasonUnreachable)); // disk full or file gone
        return;
    }
    // The watchdog looks at what really arrived, announced size or not.
    m_bytesRead = m_part.size();
    if (m_bytesMax < 1 && m_part.overLimit()) {
        // An endless or oversized body without an announced size: report the
        // size reached, so the size rule skips it like an announced one.
        QPointer<Downloader> self(this);
        const qint64 reached = m_bytesRead;
        emit DownloadProgress(reached, reached, m_saveFile);
        if (self && !m_ended)
            fail(QString::fromUtf16(kReasonUnreachable));
    }
}

void Downloader::onProgress(qint64, qint64 total)
{
    if (total < 1 || m_ended)
        return;
    m_bytesMax = total;
    emit DownloadProgress(m_bytesRead, m_bytesMax, m_saveFile);
}

void Downloader::onFinished()
{
    QNetworkReply* reply = m_reply;
    if (reply == nullptr || m_ended)
        return;
    onReadyRead();
    if (m_ended)
        return;
    m_reply = nullptr;
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const qint64 received = m_part.size();

    if (m_fallback) {
        // A single byte counts as nothing.
        if (received < 2 || (status >= 400 && m_targetExisted) || !m_part.commit()) {
            fail(QString::fromUtf16(kReasonUnreachable));
            return;
        }
        m_ended = true;
        m_watchdog.stop();
        emit DownloadComplete(received, received, m_saveFile);
        return;
    }
    if (received < 1) {
        m_part.discard();
        startRead(true);
        return;
    }
    // An error page never replaces a file that was there before.
    if (status >= 400 && m_targetExisted) {
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
    AbandonReply(m_reply, this);
    m_part.discard();
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
