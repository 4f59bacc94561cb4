#include "listfixture.h"
#include "schedulerfakes.h"

#include "core/programvalues.h"
#include "downloads/engine/downloadscontroller.h"
#include "support/testhttpserver.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

// The real transfers of the single-transfer method (1) and the parallel
// method (2) against a local server that asks to slow down, refuses, or
// answers with the bot check; the engine's clock is the test's. What the
// server sees (which request, at what time) is what a publisher would see.
class PolitenessTest : public ::testing::TestWithParam<int>, public ListFixture {
protected:
    PolitenessTest()
    {
        EXPECT_TRUE(server.listen());
        values.DownloadMethod = GetParam();
        values.SecondsBetweenHostStarts = 0;
        values.BrowserFallback = false;
        DownloadScheduler& s = engine.scheduler();
        s.setAutoLogin(&login);
        s.setUtcClock([] { return QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0), Qt::UTC); });
        s.switches().ThreadCount = 1; // answers in the order of the list
        s.switches().Sounds = true;
        s.switches().AutoLogin = true;
        QObject::connect(&s, &DownloadScheduler::stateTextChanged, [this](const QString& text) { panel3 = text; });
        // The time of every request by the engine's clock.
        server.setHandler([this](const TestHttpServer::Request& request) -> std::optional<Route> {
            requestTimes.append({QString::fromLatin1(request.Target), now});
            return std::nullopt;
        });
    }

    int paper(const QString& target, const QString& name)
    {
        engine.model().AddTask(server.url(target), name, u"pdf"_s, temp.path(), {});
        return engine.list().count();
    }

    const DownloadTask& task(int position) { return *engine.list().TaskAt(position); }

    // Waits until no transfer runs, nor starts from the event loop.
    void idle()
    {
        DownloadScheduler& s = engine.scheduler();
        const auto noneLoaded = [&] {
            for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot) {
                if (s.slotLoaded(slot))
                    return false;
            }
            return true;
        };
        do {
            EXPECT_TRUE(QTest::qWaitFor(noneLoaded, 10000));
            QTest::qWait(30);
        } while (!noneLoaded());
    }

    // What runs finishes; then the clock moves on, the housekeeping and the
    // scheduler look once, and what that started finishes at that time.
    void after(double seconds)
    {
        idle();
        now += seconds;
        engine.scheduler().HousekeepingTick();
        engine.scheduler().ScheduleTick();
        idle();
    }

    void settle() { after(0); }

    // The times (by the engine's clock) the server was asked for target.
    QList<double> timesOf(const QString& target) const
    {
        QList<double> times;
        for (const auto& [path, time] : requestTimes) {
            if (path == target)
                times.append(time);
        }
        return times;
    }

    QStringList files() const { return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }

    TestHttpServer server;
    double now = 36000;
    ProgramValues values;
    FakeSounds sounds;
    FakeLogin login;
    QString panel3;
    QList<std::pair<QString, double>> requestTimes;
    DownloadsController engine{values, prompts, shell, sounds, {.UserAgent = u"PaperpullTest"_s, .Clock = [this] { return now; }}};
};

const QByteArray kBusyPage = "<html><head><title>Too Many Requests</title></head><body>slow down</body></html>";

TEST_P(PolitenessTest, RetryAfterInSecondsOrAsADateHoldsTheHostAndKeepsNothing)
{
    server.route("/slow", Route{.Status = 429, .Body = kBusyPage, .ContentType = "text/html",
                                .Headers = {{"Retry-After", "5"}}});
    server.route("/busy", Route{.Status = 503, .Body = "", .ContentType = "text/html", .SendLength = false,
                                .Headers = {{"Retry-After", "Thu, 10 Dec 2026 12:00:30 GMT"}}});
    const int slow = paper(u"/slow"_s, u"Slow"_s);
    const int busy = paper(u"/busy"_s, u"Busy"_s);
    engine.scheduler().startHousekeeping();
    engine.scheduler().StartDownloads();
    settle();
    EXPECT_EQ(task(slow).State, Waiting);
    EXPECT_EQ(task(slow).Progress, u"等待 5 秒"_s);
    EXPECT_EQ(task(slow).Type, u"pdf"_s);
    EXPECT_EQ(timesOf(u"/busy"_s), QList<double>{}) << "the same host waits";
    EXPECT_EQ(panel3, u"网站 127.0.0.1 要求放慢下载，10:00:05 后继续"_s);

    server.route("/slow", Route{.Body = PdfBody(5000)});
    after(4);
    EXPECT_EQ(timesOf(u"/slow"_s), QList<double>{36000}) << "nothing before the host's time";
    after(1);
    settle();
    EXPECT_EQ(task(slow).State, Completed);
    EXPECT_EQ(timesOf(u"/slow"_s), (QList<double>{36000, 36005}));
    // The next task's answer is a date thirty seconds from the server's now:
    // the host waits to the end of that second.
    EXPECT_EQ(timesOf(u"/busy"_s), QList<double>{36005});
    EXPECT_EQ(task(busy).Progress, u"等待 31 秒"_s);

    EXPECT_EQ(files(), QStringList{u"Slow.pdf"_s}) << "no page, no part file, no claim";
    EXPECT_FALSE(sounds.played.contains(kSoundWebPage));
    EXPECT_FALSE(sounds.played.contains(kSoundFailed));
    EXPECT_TRUE(login.calls.isEmpty());
    EXPECT_EQ(engine.list().CountBadResults(), 0);
}

TEST_P(PolitenessTest, RepeatedSlowDownsWithoutAHeaderBackOffAndFailTheTaskAtTheThird)
{
    server.route("/busy", Route{.Status = 429, .Body = kBusyPage, .ContentType = "text/html", .Chunked = true});
    const int busy = paper(u"/busy"_s, u"Busy"_s);
    engine.scheduler().StartDownloads();
    settle();
    after(9);
    after(1);  // 10 s after the first answer
    after(19);
    after(1);  // 20 s after the second
    EXPECT_EQ(timesOf(u"/busy"_s), (QList<double>{36000, 36010, 36030}));
    EXPECT_EQ(task(busy).State, Failed);
    EXPECT_EQ(task(busy).Progress, u"网站多次要求放慢"_s);
    EXPECT_TRUE(files().isEmpty()) << files().join(u',').toStdString();
    EXPECT_TRUE(login.calls.isEmpty());
    EXPECT_EQ(engine.list().CountBadResults(), 0);
}

TEST_P(PolitenessTest, ThreePlainRefusalsPauseTheHostButASignInPageCallsTheSignIn)
{
    const QByteArray forbidden = "<html><head><title>403 Forbidden</title></head><body>Forbidden</body></html>";
    for (const QByteArray path : {"/f1", "/f2", "/f3"})
        server.route(path, Route{.Status = 403, .Body = forbidden, .ContentType = "text/html"});
    server.route("/signin", Route{.Status = 403, .Body = "<html><head><title>Sign in</title></head><body>"
                                                         "<form><input type=\"password\" name=\"p\"></form></body></html>",
                                  .ContentType = "text/html"});
    server.route("/after", Route{.Body = PdfBody(3000)});
    const int signIn = paper(u"/signin"_s, u"Members only"_s);
    paper(u"/f1"_s, u"F1"_s);
    paper(u"/f2"_s, u"F2"_s);
    const int third = paper(u"/f3"_s, u"F3"_s);
    const int later = paper(u"/after"_s, u"After"_s);
    engine.scheduler().StartDownloads();
    for (int i = 0; i < 4; ++i)
        settle();
    EXPECT_EQ(task(signIn).Type, u"htm"_s) << "a sign-in page is a web page result, as before";
    EXPECT_EQ(login.calls.size(), 1);
    EXPECT_EQ(task(third).State, Failed);
    EXPECT_EQ(task(third).Progress, u"网站拒绝访问"_s);
    EXPECT_EQ(task(third).Type, u"pdf"_s);
    EXPECT_EQ(panel3, u"网站 127.0.0.1 连续拒绝访问，暂停到 10:10:00"_s);
    EXPECT_EQ(files(), QStringList{u"Members only.htm"_s});
    after(599);
    EXPECT_TRUE(timesOf(u"/after"_s).isEmpty());
    after(1);
    settle();
    EXPECT_EQ(timesOf(u"/after"_s), QList<double>{36600});
    EXPECT_EQ(task(later).State, Completed);
}

TEST_P(PolitenessTest, TheBotCheckIsAFailedCheckNeverASignIn)
{
    server.route("/check", Route{.Status = 403,
                                 .Body = "<html><head><title>Just a moment...</title></head><body>"
                                         "<script src=\"/cdn-cgi/challenge-platform/x.js\"></script></body></html>",
                                 .ContentType = "text/html"});
    const int check = paper(u"/check"_s, u"Checked"_s);
    engine.scheduler().StartDownloads();
    settle();
    EXPECT_EQ(task(check).State, Failed);
    EXPECT_EQ(task(check).Progress, u"网页验证未通过"_s);
    EXPECT_TRUE(login.calls.isEmpty());
    EXPECT_TRUE(files().isEmpty());
    EXPECT_FALSE(panel3.startsWith(u"网站 "_s)) << "a bot check does not pause the host";
}

INSTANTIATE_TEST_SUITE_P(BothHttpMethods, PolitenessTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& method) {
                             return "Method" + std::to_string(method.param);
                         });

} // namespace
