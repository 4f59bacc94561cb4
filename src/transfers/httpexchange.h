#pragma once

#include "httpresponsehead.h"
#include "networkcontext.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class CurlLayer;
typedef void CURL;
struct curl_slist;

// What one exchange asks for.
struct HttpRequest {
    QUrl Url;
    QByteArray Method = "GET";
    QList<std::pair<QByteArray, QByteArray>> Headers{}; // sent on every hop besides the fixed ones
    QByteArray Body{};
    QString ProxyHost{}; // an HTTP proxy for this exchange; none when empty
    int ProxyPort = 0;
};

// How an exchange ended.
struct HttpOutcome {
    enum class Kind {
        Ok,             // the final response arrived whole
        Fault,          // no connection, refused redirect, TLS or protocol error
        CutShort,       // the connection ended inside the body
        BadHead,        // a header block over the limit, or a response without one
        SinkRefused,    // the owner's body sink said stop (disk full, size limit)
    };
    Kind Result = Kind::Fault;
    QString Error{}; // why, for the state texts and the logs; empty when Ok

    bool ok() const { return Result == Kind::Ok; }
};

// One HTTP request and its response over the program's layer. The layer
// follows redirects itself (at most kMaxRedirects, http and https only) so
// that the cookie jar is read for every hop's request and given every hop's
// Set-Cookie; the browser's user agent and "Accept-Encoding: identity" go with
// every request; certificates are checked against the system's store and
// never waved through.
//
// The owner sees the final response's head (headReceived), then its body
// through a sink it sets: the sink is called with curl's own buffer, so the
// bytes can go straight to a file without a copy in between. Without a sink
// the body waits (the transfer is paused) until one is set. Signals come from
// the event loop, never from inside start() or setBodySink(); after abort()
// none come at all.
class HttpExchange final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HttpExchange)

public:
    static constexpr int kMaxRedirects = 10;
    static constexpr qint64 kMaxHeadBytes = 256 * 1024;

    // Called inside curl's write callback; false stops the exchange (SinkRefused).
    using BodySink = std::function<bool(const char* data, qint64 size)>;

    explicit HttpExchange(NetworkContext context, QObject* parent = nullptr);
    ~HttpExchange() override;

    // A sink set before start() (or kept from an earlier start) takes the
    // body as it comes.
    void start(const HttpRequest& request);
    void abort();
    void setBodySink(BodySink sink);

    bool running() const { return m_running; }
    bool headAvailable() const { return m_headReady; }
    const HttpResponseHead& head() const { return m_head; }
    qint64 bodyBytes() const { return m_bodyBytes; }
    const HttpOutcome& outcome() const { return m_outcome; }

signals:
    void headReceived();
    void bodyArrived(); // at most once per turn of the event loop
    void finished();

private:
    friend class CurlLayer;
    static size_t headerCallback(char* data, size_t size, size_t count, void* exchange);
    static size_t writeCallback(char* data, size_t size, size_t count, void* exchange);
    size_t onHeaderLine(const char* data, size_t size);
    size_t onBody(char* data, size_t size);
    void headEnded();
    void storeCookies();
    bool configureHop();
    void transferDone(int curlCode);
    void finish(HttpOutcome::Kind result, const QString& error);
    void deliver();
    void layerGone();
    void markDirty();
    void release();

    NetworkContext m_context;
    QPointer<CurlLayer> m_layer;
    HttpRequest m_request;
    QUrl m_currentUrl;
    CURL* m_easy = nullptr;
    curl_slist* m_headerList = nullptr;
    QByteArray m_cookieLine;
    QByteArray m_urlBytes;
    QByteArray m_errorBuffer; // curl writes its detailed message here
    QList<std::pair<QUrl, QByteArray>> m_pendingCookies; // Set-Cookie values by the address that sent them
    BodySink m_sink;
    quint64 m_generation = 0; // a restart or abort inside a signal ends the delivery of older news

    bool m_running = false;
    bool m_inLayer = false;
    bool m_paused = false;
    int m_hops = 0;
    bool m_lengthIgnored = false; // asked again for a length that was no number
    qint64 m_headBytes = 0;
    HttpResponseHead m_parsing; // the block being read
    HttpResponseHead m_head;    // the final response's
    bool m_headReady = false;
    QUrl m_redirectTarget;
    HttpOutcome::Kind m_callbackFailure = HttpOutcome::Kind::Ok;
    QString m_callbackError;
    qint64 m_bodyBytes = 0;
    HttpOutcome m_outcome;

    // News for the owner, handed over by deliver().
    bool m_dirty = false;
    bool m_headPending = false;
    bool m_bodyPending = false;
    bool m_finishPending = false;
};
