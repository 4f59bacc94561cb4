#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <functional>
#include <optional>

// An HTTP/1.1 server on 127.0.0.1 that a test scripts path by path: sizes,
// missing or lying lengths, chunked and slow bodies, stalls, drops, redirects,
// cookies, error pages, endless bodies, and hostile heads (any number of
// header lines through Headers, none at all, a connection kept open). It records every request it gets.
class TestHttpServer final : public QObject {
    Q_OBJECT

public:
    struct Route {
        int Status = 200;
        QByteArray Body{};
        QByteArray ContentType = "application/pdf";
        bool SendLength = true;        // Content-Length header
        qint64 AnnouncedLength = -1;   // announce this instead of the body's length
        bool Chunked = false;
        int DripBytes = 0;             // send the body this many bytes at a time...
        int DripMs = 0;                // ...every this many milliseconds
        qint64 StallAfter = -1;        // send this much of the body, then nothing (connection stays open)
        qint64 DropAfter = -1;         // send this much of the body, then close the connection
        bool Endless = false;          // chunked data without end (until the client goes)
        bool KeepOpen = false;         // "Connection: keep-alive", and the connection stays open after the body
        bool NoHead = false;           // the body alone, without a status line or headers
        QByteArray Location{};           // with a 3xx status: where to
        QByteArray SetCookie{};          // a Set-Cookie header value
        QByteArray RequireCookie{};      // "name=value" the request must carry, else 403 with a page
        // The site's bot check: a request without kClearanceCookie, or without
        // the request headers only a browser sends (sec-ch-ua, Sec-Fetch-*),
        // gets 403 with this page instead (the page's script earns the cookie).
        QByteArray BotCheckPage{};
        QList<std::pair<QByteArray, QByteArray>> Headers{};
    };

    struct Request {
        QByteArray Method;
        QByteArray Target; // path and query as sent
        QHash<QByteArray, QByteArray> Headers; // names in lower case
        bool ViaProxy = false; // an absolute address in the request line
    };

    explicit TestHttpServer(QObject* parent = nullptr);
    ~TestHttpServer() override;

    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    QString url(const QString& target) const; // "http://127.0.0.1:<port>" + target

    // A route for a path (query ignored) or, more specifically, a path with query.
    void route(const QByteArray& target, const Route& response);
    // Asked first for every request; a route it gives wins over the scripted
    // ones. For a site whose answers depend on the request (its cookies, its
    // query), such as the demo site.
    using Handler = std::function<std::optional<Route>(const Request&)>;
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    QList<Request> requests;
    qint64 bytesSentForEndless = 0;
    int openConnections = 0; // connections the client has not closed yet

private:
    void onConnection();
    class Connection;
    QTcpServer m_server;
    QHash<QByteArray, Route> m_routes;
    Handler m_handler;
};

inline constexpr char kClearanceCookie[] = "clearance=ok";

// A body of n bytes that starts like a PDF and varies, so a cut or a mix-up shows.
QByteArray PdfBody(qint64 size, int seed = 1);
