#include "inettransfer.h"

#include "inetconnection.h"

#include "core/programvalues.h"
#include "core/urlfunctions.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kPieceBytes = 2048;
constexpr qint64 kReadBufferBytes = 64 * 1024;

int statusOf(const QNetworkReply& reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

InetTransfer::InetTransfer(NetworkContext network, const ProgramValues& values, SecondsClock clock, Timing timing,
                           QObject* parent)
    : Transfer(parent)
    , m_network(std::move(network))
    , m_values(values)
    , m_timing(timing)
    , m_stall(std::move(clock), timing.StallTimeoutSeconds, StallWatch::Rule::MoreThan)
    , m_manager(std::make_unique<QNetworkAccessManager>())
{
    // The same cookies as the browsers and the parallel method: one jar, shared.
    if (m_network.Manager != nullptr && m_network.Manager->cookieJar() != nullptr) {
        QNetworkCookieJar* jar = m_network.Manager->cookieJar();
        QObject* owner = jar->parent();
        m_manager->setCookieJar(jar);
        jar->setParent(owner);
    }
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

QUrl InetTransfer::requestUrl() const
{
    QUrl url(m_url.trimmed());
    if (InetConnectionFor(m_url, m_values).Https)
        url.setScheme(u"https"_s);
    return url;
}

void InetTransfer::BeginDownload(const QString& url, const QString& saveFile, const QString& referer)
{
    m_url = url;
    m_path = saveFile;
    const InetConnection connection = InetConnectionFor(url, m_values);
    if (connection.UseProxy)
        m_manager->setProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, connection.ProxyHost, static_cast<quint16>(connection.ProxyPort)));
    else
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));

    QNetworkRequest request = MakeTransferRequest(m_network, requestUrl());
    request.setRawHeader("Referer", (referer.isEmpty() ? UrlSiteRoot(url) : referer).toUtf8());

    m_size = 0;
    m_phase = Phase::Headers;
    setState(3);
    QNetworkReply* reply = m_manager->get(request);
    reply->setReadBufferSize(kReadBufferBytes);
    GuardRedirects(reply);
    m_reply = reply;
    setState(5);
    connect(reply, &QNetworkReply::metaDataChanged, this, &InetTransfer::onMetaData);
    connect(reply, &QNetworkReply::finished, this, &InetTransfer::onFinished);
    connect(reply, &QNetworkReply::readyRead, this, &InetTransfer::onReadyRead);
    m_headerTimer.start(m_timing.HeaderWaitMs);
}

void InetTransfer::onMetaData()
{
    // A redirect's own headers come first; the answer is the final response's.
    const int status = m_reply ? statusOf(*m_reply) : 0;
    if (status >= 300 && status < 400 && m_reply->hasRawHeader("Location"))
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
    // A redirect that was not followed (to another scheme) is no answer, and
    // neither is a response without a single header line.
    if (m_reply == nullptr || (statusOf(*m_reply) >= 300 && statusOf(*m_reply) < 400)
        || m_reply->rawHeaderPairs().isEmpty()) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    bool numeric = false;
    const qint64 announced = m_reply->rawHeader("content-length").trimmed().toLongLong(&numeric);
    m_size = numeric && announced > 0 ? announced : 0;

    TransferHeaders headers;
    headers.AnnouncedSize = m_size;
    headers.ContentType = QString::fromLatin1(m_reply->rawHeader("Content-Type")).trimmed();
    headers.FinalUrl = m_reply->url();
    m_phase = Phase::AwaitingFile;
    if (!m_path.isEmpty()) {
        SaveInto(m_path);
        return;
    }
    emit HeadersReceived(headers);
}

void InetTransfer::SaveInto(const QString& saveFile)
{
    if (m_phase != Phase::AwaitingFile)
        return;
    m_path = saveFile;
    if (m_size <= 0) {
        fetchWhole();
        return;
    }
    if (!m_part.open(m_path)) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    m_phase = Phase::Body;
    m_stall.restart();
    m_stallTimer.start();
    onReadyRead();
    // The response may have ended while the file was being chosen.
    if (m_phase == Phase::Body && (m_reply == nullptr || m_reply->isFinished()))
        onFinished();
}

void InetTransfer::onReadyRead()
{
    if (m_phase != Phase::Body || m_reply == nullptr)
        return;
    char piece[kPieceBytes];
    while (m_phase == Phase::Body && m_reply != nullptr && m_reply->bytesAvailable() > 0) {
        const qint64 before = m_part.size();
        const qint64 read = m_reply->read(piece, kPieceBytes);
        if (read <= 0)
            break;
        if (!m_part.write(piece, read)) {
            // The disk refused: the transfer ends as a stalled one does, with what arrived.
            m_part.commit();
            fail(QString::fromUtf16(kReasonUnreachable));
            return;
        }
        if (m_part.size() > before) {
            m_stall.grew(m_part.size());
            emit DownloadProgress(std::min(m_part.size(), m_size), m_size, m_path);
            if (m_phase != Phase::Body)
                return; // the owner ended the transfer
        }
        if (m_part.size() >= m_size) {
            bodyComplete();
            return;
        }
    }
}

void InetTransfer::onFinished()
{
    if (m_reply == nullptr)
        return;
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error != QNetworkReply::NoError && error != QNetworkReply::OperationCanceledError)
        setState(11, statusOf(*m_reply), m_reply->errorString());
    switch (m_phase) {
    case Phase::Headers:
        if (error == QNetworkReply::NoError)
            setState(12);
        onHeadersDone(); // a response without a body, or none at all
        return;
    case Phase::Body:
        onReadyRead();
        // The connection ended short of the announced size: nothing more will
        // come, so there is no point waiting for the stall time-out. What
        // arrived stays on disk.
        if (m_phase == Phase::Body) {
            m_part.commit();
            fail(QString::fromUtf16(kReasonUnreachable));
        }
        return;
    case Phase::AwaitingFile: // read once the file is chosen
    case Phase::Whole:
    case Phase::Idle:
        return;
    }
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
    // A stalled piece loop keeps what arrived; a stalled whole fetch keeps nothing.
    if (m_phase == Phase::Body)
        m_part.commit();
    else
        m_part.discard();
    fail(QString::fromUtf16(kReasonTimeout));
}

void InetTransfer::fetchWhole()
{
    AbandonReply(m_reply, this);
    m_part.setSizeLimitBytes(m_values.maxFileSizeBytes());
    if (!m_part.open(m_path)) {
        fail(QString::fromUtf16(kReasonUnreachable));
        return;
    }
    // A new request without the referring page, as a plain fetch of the address.
    m_phase = Phase::Whole;
    m_stall.restart();
    QNetworkReply* reply = m_manager->get(MakeTransferRequest(m_network, requestUrl()));
    reply->setReadBufferSize(kReadBufferBytes);
    GuardRedirects(reply);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &InetTransfer::onWholeReadyRead);
    connect(reply, &QNetworkReply::finished, this, &InetTransfer::onWholeFinished);
    m_stallTimer.start();
}

void InetTransfer::onWholeReadyRead()
{
    if (m_phase != Phase::Whole || m_reply == nullptr)
        return;
    const QByteArray data = m_reply->readAll();
    if (!data.isEmpty() && m_part.write(data.constData(), data.size()))
        m_stall.grew(m_part.size());
    if (!m_part.overLimit())
        return;
    // An endless or oversized body: reported as the size it reached, so the
    // owner's size rule skips it like an announced one.
    QPointer<InetTransfer> self(this);
    const qint64 reached = m_part.size();
    emit DownloadProgress(reached, reached, m_path);
    if (self && m_phase == Phase::Whole) {
        m_part.discard();
        fail(QString::fromUtf16(kReasonUnreachable));
    }
}

void InetTransfer::onWholeFinished()
{
    if (m_phase != Phase::Whole || m_reply == nullptr)
        return;
    onWholeReadyRead();
    if (m_phase != Phase::Whole)
        return;
    setState(12);
    const qint64 received = m_part.size();
    // A single byte counts as nothing.
    if (received < 2 || !m_part.commit()) {
        m_part.discard();
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

void InetTransfer::end()
{
    AbandonReply(m_reply, this);
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
