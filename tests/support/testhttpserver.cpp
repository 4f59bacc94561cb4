#include "support/testhttpserver.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

class TestHttpServer::Connection final : public QObject {
public:
    Connection(TestHttpServer& server, QTcpSocket* socket)
        : QObject(socket)
        , m_server(server)
        , m_socket(socket)
    {
        connect(socket, &QTcpSocket::readyRead, this, &Connection::onReadyRead);
        ++m_server.openConnections;
        connect(socket, &QTcpSocket::disconnected, this, [this] { --m_server.openConnections; });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        m_timer.setSingleShot(false);
        connect(&m_timer, &QTimer::timeout, this, &Connection::sendMore);
    }

private:
    void onReadyRead()
    {
        if (m_answered)
            return;
        m_buffer += m_socket->readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        m_answered = true;
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        Request request;
        request.Method = requestLine.value(0);
        request.Target = requestLine.value(1);
        if (request.Target.startsWith("http://")) { // a proxy passes the whole address on
            request.ViaProxy = true;
            const qsizetype path = request.Target.indexOf('/', 7);
            request.Target = path >= 0 ? request.Target.mid(path) : QByteArray("/");
        }
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.Headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        m_server.requests.append(request);
        answer(request);
    }

    void answer(const Request& request)
    {
        const qsizetype query = request.Target.indexOf('?');
        const QByteArray path = query >= 0 ? request.Target.left(query) : request.Target;
        Route route;
        std::optional<Route> handled = m_server.m_handler ? m_server.m_handler(request) : std::nullopt;
        if (handled)
            route = *handled;
        else if (m_server.m_routes.contains(request.Target))
            route = m_server.m_routes.value(request.Target);
        else if (m_server.m_routes.contains(path))
            route = m_server.m_routes.value(path);
        else
            route = {404, "<html><head><title>Not found</title></head><body>no such page</body></html>", "text/html"};

        if (!route.RequireCookie.isEmpty() && !request.Headers.value("cookie").contains(route.RequireCookie)) {
            route = Route{403, "<html><head><title>Sign in</title></head><body>please sign in</body></html>",
                          "text/html"};
        }
        if (!route.BotCheckPage.isEmpty() && !(request.Headers.value("cookie").contains(kClearanceCookie) && fromBrowser(request)))
            route = Route{403, route.BotCheckPage, "text/html; charset=utf-8"};
        m_route = route;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.Status) + " " + reason(route.Status) + "\r\n";
        head += "Content-Type: " + route.ContentType + (route.KeepOpen ? "\r\nConnection: keep-alive\r\n" : "\r\nConnection: close\r\n");
        if (!route.Location.isEmpty())
            head += "Location: " + route.Location + "\r\n";
        if (!route.SetCookie.isEmpty())
            head += "Set-Cookie: " + route.SetCookie + "\r\n";
        for (const auto& [name, value] : route.Headers)
            head += name + ": " + value + "\r\n";
        if (route.Chunked || route.Endless)
            head += "Transfer-Encoding: chunked\r\n";
        else if (route.SendLength)
            head += "Content-Length: "
                + QByteArray::number(route.AnnouncedLength >= 0 ? route.AnnouncedLength : route.Body.size()) + "\r\n";
        if (!route.NoHead)
            m_socket->write(head + "\r\n");
        if (request.Method == "HEAD") {
            finish();
            return;
        }
        if (route.Endless || route.DripMs > 0) {
            m_timer.start(route.Endless ? 1 : route.DripMs);
            return;
        }
        sendMore();
    }

    void sendMore()
    {
        if (m_route.Endless) {
            // A few chunks per turn; the client's end of the connection stops it.
            const QByteArray piece(64 * 1024, 'x');
            for (int i = 0; i < 4 && m_socket->state() == QAbstractSocket::ConnectedState; ++i) {
                if (m_socket->bytesToWrite() > 4 * 1024 * 1024)
                    return;
                m_socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
                m_server.bytesSentForEndless += piece.size();
            }
            if (m_server.bytesSentForEndless > 2048LL * 1024 * 1024)
                finish(); // a bound of its own, whatever the client does
            return;
        }
        qint64 limit = m_route.Body.size();
        if (m_route.StallAfter >= 0)
            limit = std::min(limit, m_route.StallAfter);
        if (m_route.DropAfter >= 0)
            limit = std::min(limit, m_route.DropAfter);
        const qint64 step = m_route.DripBytes > 0 ? m_route.DripBytes : limit - m_sent;
        const qint64 size = std::min(step, limit - m_sent);
        if (size > 0) {
            const QByteArray piece = m_route.Body.mid(m_sent, size);
            m_socket->write(m_route.Chunked ? QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n" : piece);
            m_sent += size;
        }
        if (m_sent < limit)
            return;
        m_timer.stop();
        if (m_route.StallAfter >= 0 && m_sent < m_route.Body.size())
            return; // stalls: the connection stays open
        if (m_route.DropAfter >= 0 && m_sent < m_route.Body.size()) {
            m_socket->flush();
            m_socket->abort();
            return;
        }
        if (m_route.Chunked)
            m_socket->write("0\r\n\r\n");
        finish();
    }

    void finish()
    {
        m_timer.stop();
        if (m_route.KeepOpen)
            return; // only the client ends the connection
        m_socket->disconnectFromHost();
    }

    // Headers a browser sends with every request and Qt Network or libcurl do not.
    static bool fromBrowser(const Request& request)
    {
        if (request.Headers.contains("sec-ch-ua"))
            return true;
        for (auto it = request.Headers.cbegin(); it != request.Headers.cend(); ++it) {
            if (it.key().startsWith("sec-fetch-"))
                return true;
        }
        return false;
    }

    static QByteArray reason(int status)
    {
        switch (status) {
        case 200: return "OK";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 429: return "Too Many Requests";
        case 500: return "Internal Server Error";
        case 503: return "Service Unavailable";
        default: return "Status";
        }
    }

    TestHttpServer& m_server;
    QTcpSocket* m_socket;
    QByteArray m_buffer;
    bool m_answered = false;
    Route m_route;
    qint64 m_sent = 0;
    QTimer m_timer;
};

TestHttpServer::TestHttpServer(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TestHttpServer::onConnection);
}

TestHttpServer::~TestHttpServer() = default;

bool TestHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString TestHttpServer::url(const QString& target) const
{
    return QStringLiteral("http://127.0.0.1:") + QString::number(port()) + target;
}

void TestHttpServer::route(const QByteArray& target, const Route& response)
{
    m_routes.insert(target, response);
}

void TestHttpServer::onConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection())
        new Connection(*this, socket);
}

QByteArray PdfBody(qint64 size, int seed)
{
    QByteArray body = "%PDF-1.4\n";
    body.reserve(size);
    quint32 state = static_cast<quint32>(seed) * 2654435761u;
    while (body.size() < size) {
        state = state * 1664525u + 1013904223u;
        body.append(static_cast<char>('A' + (state >> 24) % 26));
    }
    body.truncate(size);
    return body;
}
