#include "httpexchange.h"

#include "curllayer.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QTimer>

#include <curl/curl.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Big enough that one read takes what the socket holds at full speed; each
// transfer owns one such buffer inside curl, and the body goes from it
// straight to the owner's sink.
constexpr long kReceiveBufferBytes = 256 * 1024;

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool isWebScheme(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == u"http"_s || scheme == u"https"_s;
}

// A header line must stay one line, whatever text it was given.
QByteArray oneLine(QByteArray text)
{
    text.replace('\r', ' ').replace('\n', ' ');
    return text;
}

} // namespace

HttpExchange::HttpExchange(NetworkContext context, QObject* parent)
    : QObject(parent)
    , m_context(std::move(context))
    , m_layer(m_context.Layer)
{
    m_errorBuffer.fill('\0', CURL_ERROR_SIZE);
}

HttpExchange::~HttpExchange()
{
    abort();
    if (m_easy != nullptr)
        curl_easy_cleanup(m_easy);
    curl_slist_free_all(m_headerList);
}

void HttpExchange::start(const HttpRequest& request)
{
    abort();
    m_request = request;
    m_currentUrl = request.Url;
    m_running = true;
    m_hops = 0;
    m_headBytes = 0;
    m_parsing = {};
    m_head = {};
    m_headReady = false;
    m_redirectTarget = {};
    m_callbackFailure = HttpOutcome::Kind::Ok;
    m_callbackError.clear();
    m_bodyBytes = 0;
    m_outcome = {};
    m_pendingCookies.clear();
    m_lengthIgnored = false;

    if (m_layer == nullptr || !m_currentUrl.isValid() || !isWebScheme(m_currentUrl)) {
        finish(HttpOutcome::Kind::Fault, u"not an http or https address, or no HTTP layer"_s);
        return;
    }
    if (m_easy == nullptr)
        m_easy = curl_easy_init();
    if (m_easy == nullptr) {
        finish(HttpOutcome::Kind::Fault, u"no transfer handle"_s);
        return;
    }
    CURL* e = m_easy;
    curl_easy_setopt(e, CURLOPT_PRIVATE, this);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, m_errorBuffer.data());
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HttpExchange::headerCallback);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &HttpExchange::writeCallback);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    curl_easy_setopt(e, CURLOPT_IGNORE_CONTENT_LENGTH, 0L);
    // Redirects are followed here, hop by hop, so that every hop gets its
    // cookies from the jar and gives its own back.
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    // A response must begin with a status line and a header block.
    curl_easy_setopt(e, CURLOPT_HTTP09_ALLOWED, 0L);
    // The system's CA store, and never an exception for a bad certificate.
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(e, CURLOPT_USERAGENT,
                     m_context.UserAgent.isEmpty() ? nullptr : oneLine(m_context.UserAgent.toUtf8()).constData());
    // The proxy is the exchange's own choice; the environment's never applies.
    if (m_request.ProxyHost.isEmpty()) {
        curl_easy_setopt(e, CURLOPT_PROXY, "");
    } else {
        const QByteArray proxy = "http://" + oneLine(m_request.ProxyHost.toUtf8()) + ':'
            + QByteArray::number(m_request.ProxyPort);
        curl_easy_setopt(e, CURLOPT_PROXY, proxy.constData());
        curl_easy_setopt(e, CURLOPT_NOPROXY, "");
        // Only the server's own headers reach the parser, not a tunnel's.
        curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    }

    curl_slist_free_all(m_headerList);
    m_headerList = nullptr;
    // The file's own bytes: with compression the announced length would be
    // the compressed one and never match what is written. No waiting for
    // "100 Continue" before a request body either.
    m_headerList = curl_slist_append(m_headerList, "Accept-Encoding: identity");
    m_headerList = curl_slist_append(m_headerList, "Expect:");
    for (const auto& [name, value] : m_request.Headers) {
        if (!name.isEmpty())
            m_headerList = curl_slist_append(m_headerList, QByteArray(oneLine(name) + ": " + oneLine(value)).constData());
    }
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, m_headerList);

    if (!configureHop())
        finish(HttpOutcome::Kind::Fault, u"the request could not be started"_s);
}

bool HttpExchange::configureHop()
{
    CURL* e = m_easy;
    m_errorBuffer.fill('\0');
    m_urlBytes = m_currentUrl.toEncoded();
    curl_easy_setopt(e, CURLOPT_URL, m_urlBytes.constData());
    curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(e, CURLOPT_NOBODY, 0L);
    const QByteArray method = m_request.Method.toUpper();
    if (method == "HEAD") {
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    } else if (method == "GET" && m_request.Body.isEmpty()) {
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_request.Body.size()));
        curl_easy_setopt(e, CURLOPT_COPYPOSTFIELDS, m_request.Body.constData());
        if (method != "POST")
            curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, oneLine(method).constData());
    }

    m_cookieLine.clear();
    if (m_context.CookieJar != nullptr) {
        for (const QNetworkCookie& cookie : m_context.CookieJar->cookiesForUrl(m_currentUrl)) {
            if (!m_cookieLine.isEmpty())
                m_cookieLine += "; ";
            m_cookieLine += oneLine(cookie.toRawForm(QNetworkCookie::NameAndValueOnly));
        }
    }
    curl_easy_setopt(e, CURLOPT_COOKIE, m_cookieLine.isEmpty() ? nullptr : m_cookieLine.constData());

    if (m_layer == nullptr || !m_layer->add(this, e))
        return false;
    m_inLayer = true;
    return true;
}

size_t HttpExchange::headerCallback(char* data, size_t size, size_t count, void* exchange)
{
    return static_cast<HttpExchange*>(exchange)->onHeaderLine(data, size * count);
}

size_t HttpExchange::writeCallback(char* data, size_t size, size_t count, void* exchange)
{
    return static_cast<HttpExchange*>(exchange)->onBody(data, size * count);
}

size_t HttpExchange::onHeaderLine(const char* data, size_t size)
{
    QByteArrayView line(data, static_cast<qsizetype>(size));
    if (line.startsWith("HTTP/")) {
        // A new response: the first, the one after an interim 1xx, or a hop's.
        m_parsing = {};
        m_parsing.Url = m_currentUrl;
        m_headBytes = 0;
    }
    m_headBytes += static_cast<qint64>(size);
    if (m_headBytes > kMaxHeadBytes) {
        m_callbackFailure = HttpOutcome::Kind::BadHead;
        m_callbackError = u"the response's header block is larger than 256 KB"_s;
        return 0;
    }
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> parts = line.toByteArray().split(' ');
        m_parsing.Status = parts.value(1).toInt();
        const qsizetype reasonAt = line.indexOf(' ', line.indexOf(' ') + 1);
        if (reasonAt > 0)
            m_parsing.Reason = line.sliced(reasonAt + 1).trimmed().toByteArray();
        return size;
    }
    if (line.isEmpty()) {
        if (m_parsing.Status >= 100 && m_parsing.Status < 200) {
            m_parsing = {}; // an interim answer; the real one follows
            return size;
        }
        headEnded();
        return size;
    }
    if ((line.front() == ' ' || line.front() == '\t') && !m_parsing.Headers.isEmpty()) {
        // A folded line continues the value above it.
        m_parsing.Headers.back().second += ' ' + line.trimmed().toByteArray();
        return size;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0)
        m_parsing.Headers.append({line.first(colon).trimmed().toByteArray(), line.sliced(colon + 1).trimmed().toByteArray()});
    return size;
}

void HttpExchange::headEnded()
{
    for (const auto& [name, value] : m_parsing.Headers) {
        if (name.compare("set-cookie", Qt::CaseInsensitive) == 0)
            m_pendingCookies.append({m_currentUrl, value});
    }
    const QByteArray location = m_parsing.header("location").trimmed();
    if (isRedirect(m_parsing.Status) && !location.isEmpty()) {
        // The redirect's own page is not the answer: its body is dropped and
        // the next hop starts once curl is done with this one.
        m_redirectTarget = m_currentUrl.resolved(QUrl(QString::fromUtf8(location)));
        if (!m_redirectTarget.isValid())
            m_redirectTarget = QUrl(u"invalid:"_s);
        return;
    }
    m_head = std::move(m_parsing);
    m_parsing = {};
    m_headReady = true;
    m_headPending = true;
    markDirty();
}

size_t HttpExchange::onBody(char* data, size_t size)
{
    if (!m_redirectTarget.isEmpty() || !m_headReady)
        return size;
    if (!m_sink) {
        // Held in curl until the owner says where the body goes.
        m_paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (!m_sink(data, static_cast<qint64>(size))) {
        m_callbackFailure = HttpOutcome::Kind::SinkRefused;
        m_callbackError = u"the body could not be kept"_s;
        return 0;
    }
    m_bodyBytes += static_cast<qint64>(size);
    if (!m_bodyPending) {
        m_bodyPending = true;
        markDirty();
    }
    return size;
}

void HttpExchange::storeCookies()
{
    if (m_context.CookieJar != nullptr) {
        for (const auto& [url, value] : std::as_const(m_pendingCookies))
            m_context.CookieJar->setCookiesFromUrl(QNetworkCookie::parseCookies(value), url);
    }
    m_pendingCookies.clear();
}

void HttpExchange::transferDone(int curlCode)
{
    m_inLayer = false;
    storeCookies();
    const auto code = static_cast<CURLcode>(curlCode);
    if (!m_redirectTarget.isEmpty() && m_callbackFailure == HttpOutcome::Kind::Ok) {
        const QUrl target = m_redirectTarget;
        m_redirectTarget = {};
        if (!isWebScheme(target)) {
            finish(HttpOutcome::Kind::Fault, u"a redirect to an address other than http or https is not followed"_s);
            return;
        }
        if (++m_hops > kMaxRedirects) {
            finish(HttpOutcome::Kind::Fault, u"more than ten redirects"_s);
            return;
        }
        const int status = m_parsing.Status;
        if (status == 303 || ((status == 301 || status == 302) && m_request.Method.toUpper() == "POST")) {
            m_request.Method = "GET";
            m_request.Body.clear();
        }
        m_currentUrl = target;
        m_parsing = {};
        m_headBytes = 0;
        if (!configureHop())
            finish(HttpOutcome::Kind::Fault, u"the redirect could not be followed"_s);
        return;
    }
    QString error = QString::fromUtf8(m_errorBuffer.constData()).trimmed();
    if (error.isEmpty())
        error = QString::fromUtf8(curl_easy_strerror(code));
    if (!m_headReady && !m_lengthIgnored && code == CURLE_WEIRD_SERVER_REPLY
        && error.contains(u"Content-Length"_s, Qt::CaseInsensitive)) {
        // A length that is no number leaves the body without a known size,
        // ended by the connection's end, as the program has always read such
        // answers; curl refuses them, so the hop is asked once more with the
        // length ignored and the connection closed after the body.
        m_lengthIgnored = true;
        curl_easy_setopt(m_easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
        m_headerList = curl_slist_append(m_headerList, "Connection: close");
        curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_headerList);
        m_parsing = {};
        m_headBytes = 0;
        if (!configureHop())
            finish(HttpOutcome::Kind::Fault, error);
        return;
    }
    if (m_callbackFailure != HttpOutcome::Kind::Ok)
        finish(m_callbackFailure, m_callbackError);
    else if (code == CURLE_OK && m_headReady)
        finish(HttpOutcome::Kind::Ok, {});
    else if (!m_headReady
             && (code == CURLE_OK || code == CURLE_UNSUPPORTED_PROTOCOL || code == CURLE_WEIRD_SERVER_REPLY
                 || code == CURLE_OUT_OF_MEMORY))
        finish(HttpOutcome::Kind::BadHead, u"no usable response head: "_s + error);
    else if (m_headReady && (code == CURLE_PARTIAL_FILE || code == CURLE_RECV_ERROR))
        finish(HttpOutcome::Kind::CutShort, error);
    else
        finish(HttpOutcome::Kind::Fault, error);
}

void HttpExchange::finish(HttpOutcome::Kind result, const QString& error)
{
    if (m_inLayer && m_layer != nullptr)
        m_layer->remove(this, m_easy);
    m_inLayer = false;
    m_outcome = {result, error};
    m_finishPending = true;
    markDirty();
}

void HttpExchange::markDirty()
{
    if (m_dirty)
        return;
    m_dirty = true;
    if (m_layer != nullptr)
        m_layer->markDirty(this);
    else
        QTimer::singleShot(0, this, &HttpExchange::deliver);
}

void HttpExchange::deliver()
{
    if (!m_dirty)
        return;
    m_dirty = false;
    storeCookies();
    QPointer<HttpExchange> self(this);
    const quint64 generation = m_generation;
    const auto stillWanted = [&] { return self && m_generation == generation; };
    if (m_headPending) {
        m_headPending = false;
        emit headReceived();
        if (!stillWanted())
            return;
    }
    if (m_bodyPending) {
        m_bodyPending = false;
        emit bodyArrived();
        if (!stillWanted())
            return;
    }
    if (m_finishPending) {
        m_finishPending = false;
        m_running = false;
        emit finished();
    }
}

void HttpExchange::setBodySink(BodySink sink)
{
    m_sink = std::move(sink);
    if (m_sink && m_paused && m_inLayer) {
        m_paused = false;
        // May hand over the held bytes at once, into the new sink.
        curl_easy_pause(m_easy, CURLPAUSE_CONT);
    }
}

void HttpExchange::abort()
{
    ++m_generation;
    if (m_inLayer && m_layer != nullptr)
        m_layer->remove(this, m_easy);
    m_inLayer = false;
    m_running = false;
    m_paused = false;
    m_dirty = false;
    m_headPending = false;
    m_bodyPending = false;
    m_finishPending = false;
}

void HttpExchange::layerGone()
{
    m_inLayer = false;
    m_layer = nullptr;
    m_running = false;
    m_dirty = false;
}
