#include "transfers/curllayer.h"
#include "transfers/downloader.h"
#include "support/tempfolder.h"
#include "support/testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Files in the folder other than the named ones: a part file left behind shows here.
QStringList strays(const TempFolder& temp)
{
    return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

class DownloaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listen()); }

    struct Outcome {
        QString Event; // "complete", "error" or "" (none in time)
        qint64 Read = 0;
        qint64 Max = 0;
        QString Reason;
        int ProgressEvents = 0;
        qint64 LastProgressMax = 0;
    };

    Outcome fetch(Downloader& d, const QString& url, const QString& file, int waitMs = 10000)
    {
        QSignalSpy complete(&d, &Transfer::DownloadComplete);
        QSignalSpy error(&d, &Transfer::DownloadError);
        QSignalSpy progress(&d, &Transfer::DownloadProgress);
        d.BeginDownload(url, file, {});
        EXPECT_TRUE(complete.isEmpty() && error.isEmpty()) << "no event from inside BeginDownload";
        static_cast<void>(QTest::qWaitFor([&] { return !complete.isEmpty() || !error.isEmpty(); }, waitMs));
        Outcome o;
        o.ProgressEvents = static_cast<int>(progress.count());
        if (!progress.isEmpty())
            o.LastProgressMax = progress.last().at(1).toLongLong();
        if (!complete.isEmpty()) {
            o.Event = u"complete"_s;
            o.Read = complete.first().at(0).toLongLong();
            o.Max = complete.first().at(1).toLongLong();
        } else if (!error.isEmpty()) {
            o.Event = u"error"_s;
            o.Reason = error.first().at(0).toString();
        }
        return o;
    }

    Outcome fetch(const QString& target, const QString& file)
    {
        Downloader d(context, clock);
        d.setSizeLimitBytes(limit);
        return fetch(d, server.url(target), file);
    }

    TestHttpServer server;
    CurlLayer layer;
    QNetworkCookieJar jar;
    NetworkContext context{&layer, &jar, u"Mozilla/5.0 PaperpullTest"_s};
    double now = 1000;
    SecondsClock clock = [this] { return now; };
    double limit = 10.0 * 1024 * 1024;
    TempFolder temp;
};

TEST_F(DownloaderTest, BodiesArriveWholeWhateverTheirFraming)
{
    const QByteArray body = PdfBody(300 * 1024);
    const struct {
        const char* Label;
        Route Response;
    } cases[] = {
        {"with_length", Route{.Body = body}},
        {"without_length", Route{.Body = body, .SendLength = false}},
        {"chunked", Route{.Body = body, .Chunked = true, .DripBytes = 50000, .DripMs = 1}},
        {"slow_drip", Route{.Body = body, .DripBytes = 64 * 1024, .DripMs = 20}},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QByteArray path = "/f" + QByteArray::number(++n) + ".pdf";
        server.route(path, c.Response);
        const QString file = temp.filePath(QString::fromLatin1(path.mid(1)));
        const Outcome o = fetch(QString::fromLatin1(path), file);
        EXPECT_EQ(o.Event, u"complete"_s) << c.Label;
        EXPECT_EQ(o.Read, body.size()) << c.Label;
        EXPECT_EQ(o.Max, body.size()) << c.Label;
        EXPECT_EQ(contents(file), body) << c.Label;
    }
    EXPECT_EQ(strays(temp).size(), 4) << strays(temp).join(u',').toStdString();
}

TEST_F(DownloaderTest, ProgressCarriesTheAnnouncedTotal)
{
    server.route("/p.pdf", Route{.Body = PdfBody(200 * 1024), .DripBytes = 20 * 1024, .DripMs = 40});
    server.route("/u.pdf", Route{.Body = PdfBody(200 * 1024), .SendLength = false, .DripBytes = 20 * 1024, .DripMs = 5});
    const Outcome announced = fetch(u"/p.pdf"_s, temp.filePath(u"p.pdf"_s));
    EXPECT_GT(announced.ProgressEvents, 1);
    EXPECT_EQ(announced.LastProgressMax, 200 * 1024);
    const Outcome unannounced = fetch(u"/u.pdf"_s, temp.filePath(u"u.pdf"_s));
    // No total, no progress while it streams; at most the closing one, when the size is known.
    EXPECT_LE(unannounced.ProgressEvents, 1);
    EXPECT_EQ(unannounced.Event, u"complete"_s);
}

TEST_F(DownloaderTest, RequestIsTheAmpRewrittenAddressWithTheBrowsersIdentity)
{
    server.route("/doi/pdf/x", Route{.Body = PdfBody(1000)});
    const Outcome o = fetch(u"/doi/pdf/x?a=1&amp;b=2 "_s, temp.filePath(u"x.pdf"_s));
    EXPECT_EQ(o.Event, u"complete"_s);
    ASSERT_FALSE(server.requests.isEmpty());
    EXPECT_EQ(server.requests.last().Target, "/doi/pdf/x?a=1&b=2");
    EXPECT_EQ(server.requests.last().Headers.value("user-agent"), "Mozilla/5.0 PaperpullTest");
    EXPECT_EQ(server.requests.last().Headers.value("accept-encoding"), "identity"); // the file's own bytes
}

TEST_F(DownloaderTest, NothingIsUnderThePapersNameWhileItsBodyStreams)
{
    server.route("/slow.pdf", Route{.Body = PdfBody(100000), .DripBytes = 1000, .DripMs = 20});
    Downloader d(context, clock);
    const QString file = temp.filePath(u"slow.pdf"_s);
    d.BeginDownload(server.url(u"/slow.pdf"_s), file, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.BytesRead() >= 5000; }, 5000));
    EXPECT_FALSE(QFile::exists(file));
    const QFileInfoList parts = QDir(temp.path()).entryInfoList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(parts.size(), 1);
    EXPECT_TRUE(parts[0].fileName().startsWith(u".paperpull-"_s)) << qPrintable(parts[0].fileName());
    EXPECT_EQ(parts[0].size(), d.BytesRead());
    d.CancelAsyncRead();
    EXPECT_TRUE(strays(temp).isEmpty());
}

TEST_F(DownloaderTest, RedirectsFollowedWithinHttp)
{
    server.route("/moved", Route{.Status = 302, .Body = "", .Location = "/target.pdf"});
    server.route("/target.pdf", Route{.Body = PdfBody(5000)});
    server.route("/elsewhere", Route{.Status = 302, .Body = "", .Location = "ftp://127.0.0.1/x.pdf"});
    EXPECT_EQ(fetch(u"/moved"_s, temp.filePath(u"m.pdf"_s)).Event, u"complete"_s);
    EXPECT_EQ(contents(temp.filePath(u"m.pdf"_s)), PdfBody(5000));
    const Outcome refused = fetch(u"/elsewhere"_s, temp.filePath(u"e.pdf"_s));
    EXPECT_EQ(refused.Event, u"error"_s);
    EXPECT_EQ(refused.Reason, u"无法下载"_s);
}

TEST_F(DownloaderTest, CookiesFromTheSharedJarAreSent)
{
    server.route("/login", Route{.Body = "ok", .ContentType = "text/plain", .SetCookie = "session=abc; Path=/"});
    server.route("/paper.pdf", Route{.Body = PdfBody(4000), .RequireCookie = "session=abc"});
    const Outcome before = fetch(u"/paper.pdf"_s, temp.filePath(u"before.pdf"_s));
    EXPECT_EQ(before.Event, u"complete"_s); // the sign-in page arrives instead
    EXPECT_TRUE(contents(temp.filePath(u"before.pdf"_s)).contains("please sign in"));
    fetch(u"/login"_s, temp.filePath(u"login.txt"_s));
    fetch(u"/paper.pdf"_s, temp.filePath(u"after.pdf"_s));
    EXPECT_EQ(contents(temp.filePath(u"after.pdf"_s)), PdfBody(4000));
}

TEST_F(DownloaderTest, ErrorPagesAndShortBodiesNeverDamageAnExistingFile)
{
    const QByteArray old = "%PDF-1.4 the good old file";
    server.route("/missing.pdf", Route{.Status = 404, .Body = "<html><title>404</title></html>", .ContentType = "text/html"});
    server.route("/short.pdf", Route{.Body = PdfBody(50000), .DropAfter = 20000});
    server.route("/stall.pdf", Route{.Body = PdfBody(50000), .StallAfter = 1000});
    for (const QString& target : {u"/missing.pdf"_s, u"/short.pdf"_s}) {
        const QString file = temp.writeFile(u"old"_s + target.mid(1), old);
        fetch(target, file);
        EXPECT_EQ(contents(file), old) << target.toStdString();
    }
    // A stalled transfer ended by the watchdog leaves it too.
    const QString file = temp.writeFile(u"oldstall.pdf"_s, old);
    Downloader d(context, clock);
    QSignalSpy error(&d, &Transfer::DownloadError);
    d.BeginDownload(server.url(u"/stall.pdf"_s), file, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.BytesRead() >= 1000; }, 5000));
    d.watchdogTick();
    now += 300;
    d.watchdogTick();
    ASSERT_EQ(error.count(), 1);
    EXPECT_EQ(error.first().at(0).toString(), u"超时"_s);
    EXPECT_EQ(contents(file), old);
    EXPECT_EQ(strays(temp).size(), 3) << strays(temp).join(u',').toStdString(); // no part files left
}

TEST_F(DownloaderTest, OverwriteReplacesTheWholeOldFile)
{
    const QString file = temp.writeFile(u"a.pdf"_s, QByteArray(100000, 'o'));
    server.route("/a.pdf", Route{.Body = PdfBody(3000)});
    EXPECT_EQ(fetch(u"/a.pdf"_s, file).Event, u"complete"_s);
    EXPECT_EQ(contents(file), PdfBody(3000));
}

TEST_F(DownloaderTest, LyingLengths)
{
    server.route("/longer.pdf", Route{.Body = PdfBody(10000), .AnnouncedLength = 20000});
    server.route("/shorter.pdf", Route{.Body = PdfBody(10000), .AnnouncedLength = 6000});
    const Outcome longer = fetch(u"/longer.pdf"_s, temp.filePath(u"longer.pdf"_s));
    EXPECT_EQ(longer.Event, u"complete"_s);
    EXPECT_EQ(longer.Read, 10000);
    EXPECT_EQ(longer.Max, 20000); // short of the total: the task will fail
    EXPECT_FALSE(QFile::exists(temp.filePath(u"longer.pdf"_s))); // never the partial body
    const Outcome shorter = fetch(u"/shorter.pdf"_s, temp.filePath(u"shorter.pdf"_s));
    EXPECT_EQ(shorter.Read, 6000);
    EXPECT_EQ(contents(temp.filePath(u"shorter.pdf"_s)), PdfBody(6000));
}

TEST_F(DownloaderTest, NothingDeliveredTriesOnceMoreThenGivesUp)
{
    server.route("/empty.pdf", Route{.Body = ""});
    server.route("/one.pdf", Route{.Body = "x", .SendLength = false});
    for (const QString& target : {u"/empty.pdf"_s, u"/one.pdf"_s}) {
        const int before = static_cast<int>(server.requests.size());
        const Outcome o = fetch(target, temp.filePath(target.mid(1)));
        if (target == u"/empty.pdf"_s) {
            EXPECT_EQ(o.Event, u"error"_s);
            EXPECT_EQ(o.Reason, u"无法下载"_s);
            EXPECT_EQ(server.requests.size() - before, 2); // the read and the whole-body fetch
        } else {
            EXPECT_EQ(o.Event, u"complete"_s); // one byte still arrived in the read itself
        }
    }
    EXPECT_EQ(fetch(u"/nowhere"_s, temp.filePath(u"n.pdf"_s)).Event, u"complete"_s); // a 404 page is a result
    Downloader d(context, clock);
    const Outcome unreachable = fetch(d, u"http://127.0.0.1:1/x.pdf"_s, temp.filePath(u"u.pdf"_s));
    EXPECT_EQ(unreachable.Event, u"error"_s);
    EXPECT_EQ(unreachable.Reason, u"无法下载"_s);
}

TEST_F(DownloaderTest, WatchdogTimesOutOnlyWithoutNewBytes)
{
    // A body with no announced size that keeps coming is never a stall.
    server.route("/drip.pdf", Route{.Body = PdfBody(40000), .SendLength = false, .DripBytes = 2000, .DripMs = 30});
    Downloader d(context, clock);
    QSignalSpy error(&d, &Transfer::DownloadError);
    QSignalSpy complete(&d, &Transfer::DownloadComplete);
    d.BeginDownload(server.url(u"/drip.pdf"_s), temp.filePath(u"drip.pdf"_s), {});
    qint64 seen = 0;
    for (int look = 0; look < 200 && complete.isEmpty() && error.isEmpty(); ++look) {
        // Each look comes after new bytes arrived, but far past the time-out.
        if (!QTest::qWaitFor([&] { return d.BytesRead() > seen || !complete.isEmpty(); }, 5000))
            break;
        seen = d.BytesRead();
        now += 400;
        d.watchdogTick();
    }
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(complete.count(), 1);
}

TEST_F(DownloaderTest, StallTimeoutTableAndMidnight)
{
    server.route("/stall.pdf", Route{.Body = PdfBody(50000), .StallAfter = 100});
    const struct {
        const char* Label;
        double Start;
        double Later;
        bool TimesOut;
    } cases[] = {
        {"299_seconds", 1000, 1299, false},
        {"300_seconds", 1000, 1300, true},
        {"across_midnight_short", 86399, 10, false},
        {"across_midnight_long", 86300, 300, true},
    };
    for (const auto& c : cases) {
        now = c.Start;
        Downloader d(context, clock);
        QSignalSpy error(&d, &Transfer::DownloadError);
        d.BeginDownload(server.url(u"/stall.pdf"_s), temp.filePath(QString::fromLatin1(c.Label)), {});
        ASSERT_TRUE(QTest::qWaitFor([&] { return d.BytesRead() >= 100; }, 5000)) << c.Label;
        d.watchdogTick(); // sees the first bytes: the clock starts from here
        now = c.Later;
        d.watchdogTick();
        EXPECT_EQ(error.count(), c.TimesOut ? 1 : 0) << c.Label;
        d.CancelAsyncRead();
    }
}

TEST_F(DownloaderTest, EndlessBodyIsHeldToTheSizeLimit)
{
    server.route("/endless", Route{.Endless = true});
    limit = 3.0 * 1024 * 1024;
    Downloader d(context, clock);
    d.setSizeLimitBytes(limit);
    QSignalSpy progress(&d, &Transfer::DownloadProgress);
    const Outcome o = fetch(d, server.url(u"/endless"_s), temp.filePath(u"endless.pdf"_s));
    EXPECT_EQ(o.Event, u"error"_s);
    ASSERT_FALSE(progress.isEmpty());
    const qint64 reported = progress.last().at(1).toLongLong();
    EXPECT_GT(reported, limit);   // reported as the size it reached...
    EXPECT_LT(reported, limit * 2); // ...and stopped soon after the limit
    EXPECT_TRUE(strays(temp).isEmpty());
}

TEST_F(DownloaderTest, UnwritableFolderFailsWithoutEventInsideBegin)
{
    server.route("/a.pdf", Route{.Body = PdfBody(100)});
    const Outcome o = fetch(u"/a.pdf"_s, temp.filePath(u"no/such/folder/a.pdf"_s));
    EXPECT_EQ(o.Event, u"error"_s);
}

} // namespace

namespace {

QList<std::pair<QByteArray, QByteArray>> headerLines(int count, int valueBytes)
{
    QList<std::pair<QByteArray, QByteArray>> lines;
    for (int i = 0; i < count; ++i)
        lines.append({"X-Filler-" + QByteArray::number(i), QByteArray(valueBytes, 'v')});
    return lines;
}

TEST_F(DownloaderTest, HostileHeadsArriveWholeOrFailAtOnce)
{
    // A small PDF after far more header lines than a browser sends; a head
    // past the 256 KB limit; a body with no head at all. None of them may wait
    // for the stall rule, and a refused head is not fetched a second time.
    const QByteArray pdf = PdfBody(20 * 1024);
    server.route("/many.pdf", Route{.Body = pdf, .Headers = headerLines(150, 40)});
    server.route("/huge-head.pdf", Route{.Body = pdf, .Headers = headerLines(300, 1000)});
    server.route("/no-head.pdf", Route{.Body = pdf, .NoHead = true});
    const struct {
        const char* Target;
        const char* Event;
        int Requests;
    } cases[] = {
        {"/many.pdf", "complete", 1},
        {"/huge-head.pdf", "error", 1},
        {"/no-head.pdf", "error", 1},
    };
    for (const auto& c : cases) {
        const QString target = QString::fromLatin1(c.Target);
        const QString file = temp.filePath(target.mid(1));
        const qsizetype before = server.requests.size();
        const Outcome o = fetch(target, file); // no watchdog tick, no time moved
        EXPECT_EQ(o.Event, QString::fromLatin1(c.Event)) << c.Target;
        EXPECT_EQ(server.requests.size() - before, c.Requests) << c.Target;
        if (o.Event == u"complete"_s) {
            EXPECT_EQ(o.Read, pdf.size()) << c.Target;
            EXPECT_EQ(contents(file), pdf) << c.Target;
        } else {
            EXPECT_EQ(o.Reason, u"无法下载"_s) << c.Target;
            EXPECT_FALSE(QFile::exists(file)) << c.Target;
        }
    }
    EXPECT_EQ(strays(temp), QStringList{u"many.pdf"_s});
}

TEST_F(DownloaderTest, BodyWithoutLengthIsWholeOnlyWhenTheConnectionEnds)
{
    // A chunked body cut off before its last chunk has no known end: it is
    // never reported as a whole file.
    server.route("/cut.pdf", Route{.Body = PdfBody(60000), .Chunked = true, .DripBytes = 10000, .DripMs = 1,
                                   .DropAfter = 30000});
    const Outcome cut = fetch(u"/cut.pdf"_s, temp.filePath(u"cut.pdf"_s));
    EXPECT_EQ(cut.Event, u"error"_s);
    EXPECT_FALSE(QFile::exists(temp.filePath(u"cut.pdf"_s)));

    // A server that keeps the connection open after a body without length:
    // the end never comes, so the body is not taken as whole; the stall rule
    // ends it and the connection is let go.
    server.route("/open.pdf", Route{.Body = PdfBody(20000), .SendLength = false, .KeepOpen = true});
    Downloader d(context, clock);
    QSignalSpy complete(&d, &Transfer::DownloadComplete);
    QSignalSpy error(&d, &Transfer::DownloadError);
    d.BeginDownload(server.url(u"/open.pdf"_s), temp.filePath(u"open.pdf"_s), {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.BytesRead() == 20000; }, 5000));
    QTest::qWait(200);
    EXPECT_TRUE(complete.isEmpty());
    d.watchdogTick();
    now += 300;
    d.watchdogTick();
    ASSERT_EQ(error.count(), 1);
    EXPECT_EQ(error.first().at(0).toString(), u"超时"_s);
    EXPECT_FALSE(QFile::exists(temp.filePath(u"open.pdf"_s)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.openConnections == 0; }, 5000));
}

TEST_F(DownloaderTest, RedirectsCarryCookiesHopByHopUpToTen)
{
    // The sign-in hop sets the cookie that the next hop must send.
    server.route("/signin-then-paper", Route{.Status = 302, .Body = "", .Location = "/members/paper.pdf",
                                             .SetCookie = "member=yes; Path=/"});
    server.route("/members/paper.pdf", Route{.Body = PdfBody(7000), .RequireCookie = "member=yes"});
    EXPECT_EQ(fetch(u"/signin-then-paper"_s, temp.filePath(u"member.pdf"_s)).Event, u"complete"_s);
    EXPECT_EQ(contents(temp.filePath(u"member.pdf"_s)), PdfBody(7000));
    EXPECT_EQ(server.requests.last().Headers.value("user-agent"), "Mozilla/5.0 PaperpullTest"); // on every hop

    // /hopN redirects to /hop(N-1) ... /hop1 to the file: ten redirects are
    // followed, eleven are not.
    server.route("/hop0", Route{.Body = PdfBody(3000)});
    for (int n = 1; n <= 11; ++n) {
        server.route("/hop" + QByteArray::number(n),
                     Route{.Status = 302, .Body = "", .Location = "/hop" + QByteArray::number(n - 1)});
    }
    EXPECT_EQ(fetch(u"/hop10"_s, temp.filePath(u"ten.pdf"_s)).Event, u"complete"_s);
    EXPECT_EQ(contents(temp.filePath(u"ten.pdf"_s)), PdfBody(3000));
    const Outcome eleven = fetch(u"/hop11"_s, temp.filePath(u"eleven.pdf"_s));
    EXPECT_EQ(eleven.Event, u"error"_s);
    EXPECT_NE(server.requests.last().Target, "/hop0"); // the file was never asked for
}

TEST_F(DownloaderTest, KeepsTheFirstAndLastBytesOfTheBodyItWrote)
{
    // Small pieces, so the last bytes come from several reads.
    const QByteArray body = PdfBody(12000, 3);
    server.route("/s.pdf", Route{.Body = body, .Chunked = true, .DripBytes = 50, .DripMs = 1});
    server.route("/short.pdf", Route{.Body = PdfBody(9000), .AnnouncedLength = 10000});
    Downloader d(context, clock);
    EXPECT_EQ(fetch(d, server.url(u"/s.pdf"_s), temp.filePath(u"s.pdf"_s)).Event, u"complete"_s);
    const BodySample sample = d.bodySample();
    EXPECT_EQ(sample.Length, body.size());
    EXPECT_EQ(sample.Head, body.left(10240));
    EXPECT_EQ(sample.Tail, body.right(128));
    // A body cut short is not in the file: no sample to go by.
    Downloader cut(context, clock);
    fetch(cut, server.url(u"/short.pdf"_s), temp.filePath(u"short.pdf"_s));
    EXPECT_EQ(cut.bodySample().Length, -1);
}

} // namespace
