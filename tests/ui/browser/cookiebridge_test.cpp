#include "browsertesting.h"

#include "downloads/engine/cookiefile.h"
#include "downloads/engine/programcookiejar.h"
#include "support/testhttpserver.h"
#include "transfers/curllayer.h"
#include "transfers/networkcontext.h"
#include "transfers/xmlhttp.h"
#include "ui/browser/cookiebridge.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

Route page(const QByteArray& html, const QByteArray& setCookie = {})
{
    Route route{.Body = html, .ContentType = "text/html"};
    route.SetCookie = setCookie;
    return route;
}

QStringList cookieNames(const QList<QNetworkCookie>& cookies)
{
    QStringList out;
    for (const QNetworkCookie& c : cookies)
        out << QString::fromLatin1(c.name() + '=' + c.value());
    return out;
}

// A transfer as the engine makes it: the shared jar, the request every transfer sends.
class Transfers {
public:
    explicit Transfers(ProgramCookieJar& jar) : m_jar(jar) {}

    // The status and body of a GET.
    std::pair<int, QByteArray> get(const QString& url)
    {
        uXMLHTTP request(NetworkContext{&m_layer, &m_jar, u"PaperpullTest"_s});
        request.Open_(u"GET"_s, url, QString());
        request.Send_();
        EXPECT_TRUE(WaitUntil([&request] { return request.DownOK(); }));
        return {request.Status(), request.ResponseBody()};
    }

private:
    ProgramCookieJar& m_jar;
    CurlLayer m_layer;
};

class CookieBridgeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listen()); }

    QWebEngineCookieStore& store() { return *SharedProfile().profile()->cookieStore(); }

    TestHttpServer server;
    ProgramCookieJar jar;
};

TEST_F(CookieBridgeTest, AScriptsCookieReachesTheNextTransferOnceAndStaysThere)
{
    CookieBridge bridge(jar, store());
    QSignalSpy inserted(&jar, &ProgramCookieJar::cookieInserted);
    QSignalSpy added(&store(), &QWebEngineCookieStore::cookieAdded);
    server.route("/script", page("<html><body><script>document.cookie = 'byScript=1; path=/; max-age=600';"
                                 "</script></body></html>"));
    server.route("/paper.pdf", Route{.Body = PdfBody(1000), .RequireCookie = "byScript=1"});
    BrowserPage browserPage(SharedProfile());
    ASSERT_TRUE(LoadAndWait(browserPage, QUrl(server.url(u"/script"_s))));
    ASSERT_TRUE(WaitUntil([&] { return !jar.cookiesForUrl(QUrl(server.url(u"/"_s))).isEmpty(); }));

    Transfers transfers(jar);
    const auto [status, body] = transfers.get(server.url(u"/paper.pdf"_s));
    EXPECT_EQ(status, 200);
    EXPECT_TRUE(body.startsWith("%PDF"));

    // No echo: the cookie went to the jar once and was not sent back.
    QTest::qWait(300);
    EXPECT_EQ(inserted.count(), 1);
    int reports = 0;
    for (const QList<QVariant>& signal : added)
        reports += signal.first().value<QNetworkCookie>().name() == "byScript" ? 1 : 0;
    EXPECT_EQ(reports, 1);
}

TEST_F(CookieBridgeTest, ATransfersCookieReachesTheBrowserAndStaysOnItsHost)
{
    CookieBridge bridge(jar, store());
    server.route("/give", Route{.Body = "ok", .ContentType = "text/plain",
                                .SetCookie = "byTransfer=2; Path=/; HttpOnly"});
    server.route("/give2", Route{.Body = "ok", .ContentType = "text/plain", .SetCookie = "visible=3; Path=/"});
    server.route("/echo", page("<html><body>echo</body></html>"));
    Transfers transfers(jar);
    EXPECT_EQ(transfers.get(server.url(u"/give"_s)).first, 200);
    EXPECT_EQ(transfers.get(server.url(u"/give2"_s)).first, 200);

    BrowserPage browserPage(SharedProfile());
    ASSERT_TRUE(LoadAndWait(browserPage, QUrl(server.url(u"/echo"_s))));
    EXPECT_TRUE(WaitUntil([&] { return RunInPage(browserPage, u"document.cookie"_s).toString().contains(u"visible=3"_s); }));
    // The HttpOnly one is not for scripts, but the browser sends it.
    // The page's own request, not the icon the browser may ask for after it.
    auto sent = std::find_if(server.requests.rbegin(), server.requests.rend(),
                             [](const TestHttpServer::Request& r) { return r.Target == "/echo"; });
    ASSERT_NE(sent, server.requests.rend());
    EXPECT_TRUE(sent->Headers.value("cookie").contains("byTransfer=2")) << sent->Headers.value("cookie").constData();

    // A host-only cookie does not go to another host of the same machine.
    const qsizetype before = server.requests.size();
    BrowserPage other(SharedProfile());
    ASSERT_TRUE(LoadAndWait(other, QUrl(u"http://localhost:%1/echo"_s.arg(server.port()))));
    const QByteArray otherHost = "localhost:" + QByteArray::number(server.port());
    int pagesOnTheOtherHost = 0;
    for (qsizetype i = before; i < server.requests.size(); ++i) {
        const TestHttpServer::Request& request = server.requests.at(i);
        if (request.Target != "/echo")
            continue; // the browser also asks for an icon
        ++pagesOnTheOtherHost;
        EXPECT_EQ(request.Headers.value("host"), otherHost);
        EXPECT_FALSE(request.Headers.value("cookie").contains("byTransfer=2"));
    }
    EXPECT_EQ(pagesOnTheOtherHost, 1);
}

TEST_F(CookieBridgeTest, TheJarFillsTheBrowserAtStart)
{
    QNetworkCookie kept("fromLastRun", "4");
    kept.setDomain(u"127.0.0.1"_s);
    kept.setPath(u"/"_s);
    kept.setExpirationDate(QDateTime::currentDateTimeUtc().addDays(1));
    jar.insertCookie(kept);
    CookieBridge bridge(jar, store());
    server.route("/echo", page("<html><body>echo</body></html>"));
    BrowserPage browserPage(SharedProfile());
    ASSERT_TRUE(LoadAndWait(browserPage, QUrl(server.url(u"/echo"_s))));
    EXPECT_TRUE(server.requests.last().Headers.value("cookie").contains("fromLastRun=4"));
}

// A sign-in in the browser holds for the downloads of the next run.
TEST_F(CookieBridgeTest, TheSignInOutlivesARestartAndExpiredCookiesDoNot)
{
    jar.attachFile(CookieFilePath());
    CookieBridge bridge(jar, store());
    server.route("/signin", page("<html><body>welcome</body></html>", "lastingSignIn=5; Path=/; Max-Age=86400"));
    server.route("/short", page("<html><body>x</body></html>", "shortLived=6; Path=/; Max-Age=600"));
    server.route("/session", page("<html><body>x</body></html>", "sessionOnly=7; Path=/"));
    server.route("/paper.pdf", Route{.Body = PdfBody(1000), .RequireCookie = "lastingSignIn=5"});
    BrowserPage browserPage(SharedProfile());
    for (const QString& path : {u"/signin"_s, u"/short"_s, u"/session"_s})
        ASSERT_TRUE(LoadAndWait(browserPage, QUrl(server.url(path))));
    ASSERT_TRUE(WaitUntil([&] { return jar.cookiesForUrl(QUrl(server.url(u"/"_s))).size() == 3; }));
    ASSERT_TRUE(jar.saveNow());

    const auto probe = [&](const QStringList& extra) {
        QProcess run;
        run.start(QStringLiteral(PAPERPULL_COOKIE_PROBE), extra + QStringList{server.url(u"/paper.pdf"_s)});
        // The probe's fetch needs this process's event loop for the server.
        EXPECT_TRUE(WaitUntil([&] { return run.state() == QProcess::NotRunning; }, 30000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().constData();
        return QString::fromUtf8(run.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    };
    const QStringList now = probe({});
    EXPECT_TRUE(now.contains(u"cookie lastingSignIn=5"_s)) << now.join(u" | "_s).toStdString();
    EXPECT_TRUE(now.contains(u"cookie shortLived=6"_s));
    EXPECT_FALSE(now.contains(u"cookie sessionOnly=7"_s)); // a session ends with its run
    EXPECT_TRUE(now.contains(u"status 200"_s));
    EXPECT_TRUE(now.contains(u"body %PDF"_s));

    const QString inAnHour = QDateTime::currentDateTimeUtc().addSecs(3600).toString(Qt::ISODate);
    const QStringList later = probe({u"--at"_s, inAnHour});
    EXPECT_TRUE(later.contains(u"cookie lastingSignIn=5"_s));
    EXPECT_FALSE(later.contains(u"cookie shortLived=6"_s));
}

} // namespace
