#include "browsertesting.h"

#include "core/programvalues.h"
#include "downloads/engine/downloadscontroller.h"
#include "downloads/engine/programcookiejar.h"
#include "downloads/engine/soundclips.h"
#include "support/recordingprompts.h"
#include "support/recordingshell.h"
#include "support/tempfolder.h"
#include "support/testhttpserver.h"
#include "ui/browser/browsertransferfactory.h"
#include "ui/browser/cookiebridge.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

struct NoSounds final : SoundPlayer {
    void PlayNotifySound(int id) override { played.append(id); }
    QList<int> played;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The engine of a download window with the browser's transfers, against a
// site on 127.0.0.1 whose papers sit behind a bot check. Each test uses
// folders of its own on the site: the clearance cookie holds for one folder.
class BrowserTransferTest : public ::testing::Test {
protected:
    BrowserTransferTest()
    {
        values.MaxFileSizeMB = 10;
        engine.scheduler().setBrowserTransferFactories(&browser, &retry);
        engine.scheduler().switches().ThreadCount = 3;
    }

    void SetUp() override
    {
        ASSERT_TRUE(server.listen());
        server.route("/cdn-cgi/challenge-platform/check.js",
                     Route{.Body = Fixture(u"botcheck/check.js"_s), .ContentType = "application/javascript"});
        ASSERT_FALSE(Fixture(u"botcheck/challenge.html"_s).isEmpty());
    }

    // A paper at /<folder>/paper.pdf and its result page /<folder>/abstract,
    // both behind the check (page: the check's page).
    void guarded(const QByteArray& folder, Route paper, const QString& page = u"botcheck/challenge.html"_s)
    {
        paper.BotCheckPage = Fixture(page);
        server.route('/' + folder + "/paper.pdf", paper);
        Route abstract{.Body = "<html><head><title>Abstract</title></head><body>the abstract</body></html>",
                       .ContentType = "text/html"};
        abstract.BotCheckPage = Fixture(u"botcheck/challenge.html"_s);
        server.route('/' + folder + "/abstract", abstract);
    }

    // The task for /<folder>/paper.pdf, with its result page as Referer.
    int add(const QByteArray& folder)
    {
        const QString base = server.url(u"/"_s + QString::fromLatin1(folder));
        engine.model().AddTask(base + u"/paper.pdf"_s, QString::fromLatin1(folder), u"pdf"_s, temp.path() + u'/',
                               base + u"/abstract"_s);
        return engine.list().count();
    }

    const DownloadTask& task(int position) { return *engine.list().TaskAt(position); }

    bool settled()
    {
        for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot) {
            if (engine.scheduler().slotLoaded(slot))
                return false;
        }
        return engine.list().AllTasksSettled();
    }

    bool runAll()
    {
        engine.scheduler().StartDownloads();
        return WaitUntil([this] { return settled(); }, 40000);
    }

    // What the folder holds besides the targets: part files left behind.
    QStringList hiddenFiles() const
    {
        return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(u".part"_s);
    }

    double clockOffset = 0;
    SecondsClock clock = [this] { return SecondsSinceMidnight() + clockOffset; };
    TempFolder temp;
    TestHttpServer server;
    ProgramValues values;
    RecordingPrompts prompts;
    RecordingShell shell;
    NoSounds sounds;
    ProgramCookieJar jar;
    CookieBridge bridge{jar, *SharedProfile().profile()->cookieStore()};
    DownloadsController engine{values, prompts, shell, sounds,
                               {.UserAgent = SharedProfile().httpUserAgent(), .Clock = clock, .CookieJar = &jar}};
    BrowserTransferFactory browser{SharedProfile(), values, clock, false};
    BrowserTransferFactory retry{SharedProfile(), values, clock, true};
};

TEST_F(BrowserTransferTest, APaperOnlyABrowserMayFetchArrivesByTheBrowserAndByTheFallback)
{
    struct Case {
        const char* Folder;
        int Method;
        bool Fallback;
        bool Arrives;
    };
    const Case cases[] = {
        {"parallel-alone", 2, false, false},
        {"single-alone", 1, false, false},
        {"browser", 3, true, true},
        {"parallel-fallback", 2, true, true},
        {"single-fallback", 1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Folder);
        ProgramValues chosen = values;
        chosen.DownloadMethod = c.Method;
        chosen.BrowserFallback = c.Fallback;
        engine.applyOptions(chosen);
        const QByteArray pdf = PdfBody(300 * 1024, c.Method);
        guarded(c.Folder, Route{.Body = pdf});
        const int position = add(c.Folder);
        ASSERT_TRUE(runAll());
        const DownloadTask& t = task(position);
        if (c.Arrives) {
            EXPECT_EQ(t.State, TaskState::Completed);
            EXPECT_EQ(t.Type, u"pdf"_s);
            EXPECT_EQ(t.Progress, u"100%"_s);
            EXPECT_EQ(readAll(TaskFilePath(t)), pdf);
        } else {
            // A failed check, not a web page that would call the sign-in.
            EXPECT_EQ(t.State, TaskState::Failed);
            EXPECT_EQ(t.Progress, u"网页验证未通过"_s);
            EXPECT_EQ(t.Type, u"pdf"_s);
            EXPECT_FALSE(readAll(TaskFilePath(t)).contains("Just a moment"));
        }
        EXPECT_TRUE(hiddenFiles().isEmpty()) << hiddenFiles().join(u' ').toStdString();
    }
    EXPECT_TRUE(sounds.played.isEmpty());

    // The fallback let the check run on the result page first, and asked for
    // the paper from there.
    const QByteArray abstract = "/parallel-fallback/abstract";
    qsizetype visited = -1;
    qsizetype served = -1;
    for (qsizetype i = 0; i < server.requests.size(); ++i) {
        const TestHttpServer::Request& r = server.requests[i];
        if (r.Target == abstract && visited < 0)
            visited = i;
        if (r.Target == "/parallel-fallback/paper.pdf" && r.Headers.value("cookie").contains(kClearanceCookie))
            served = i;
    }
    ASSERT_GE(visited, 0);
    ASSERT_GT(served, visited);
    EXPECT_TRUE(server.requests[served].Headers.value("referer").endsWith(abstract))
        << server.requests[served].Headers.value("referer").constData();
}

TEST_F(BrowserTransferTest, TheBrowsersMethodFollowsTheSizeLimitWithAndWithoutAnAnnouncedSize)
{
    values.DownloadMethod = 3;
    values.MaxFileSizeMB = 1;
    guarded("announced", Route{.Body = PdfBody(1536 * 1024)});
    guarded("unannounced", Route{.Body = PdfBody(1536 * 1024), .Chunked = true});
    guarded("small", Route{.Body = PdfBody(512 * 1024), .Chunked = true});
    const int announced = add("announced");
    const int unannounced = add("unannounced");
    const int small = add("small");
    ASSERT_TRUE(runAll());
    for (const int position : {announced, unannounced}) {
        EXPECT_EQ(task(position).State, TaskState::Completed);
        EXPECT_EQ(task(position).Progress, u"大文件，跳过"_s);
        EXPECT_FALSE(readAll(TaskFilePath(task(position))).startsWith("%PDF"));
    }
    EXPECT_EQ(task(small).State, TaskState::Completed);
    EXPECT_EQ(task(small).Progress, u"100%"_s);
    EXPECT_EQ(readAll(TaskFilePath(task(small))).size(), 512 * 1024);
    // The engine ends a cancelled download on its own time; nothing of it stays.
    EXPECT_TRUE(WaitUntil([this] { return hiddenFiles().isEmpty(); }, 5000)) << hiddenFiles().join(u' ').toStdString();
}

TEST_F(BrowserTransferTest, StopAndAStallEndTheBrowsersTransferAndAnOverwrittenFileSurvives)
{
    values.DownloadMethod = 3;
    // All three running before the clock jumps: no second between their starts.
    values.SecondsBetweenHostStarts = 0;
    engine.scheduler().switches().Policy = DuplicatePolicy::Overwrite;
    guarded("stopped", Route{.Body = PdfBody(400 * 1024), .DripBytes = 4 * 1024, .DripMs = 100});
    guarded("stalled", Route{.Body = PdfBody(400 * 1024), .StallAfter = 100 * 1024});
    guarded("dropped", Route{.Body = PdfBody(400 * 1024), .DropAfter = 100 * 1024});
    const int stopped = add("stopped");
    const int stalled = add("stalled");
    for (const int position : {stopped, stalled})
        temp.writeFile(QFileInfo(TaskFilePath(task(position))).fileName(), "the old file");

    engine.scheduler().StartDownloads();
    ASSERT_TRUE(WaitUntil([&] { return task(stopped).ReceivedBytes > 0; }, 30000))
        << task(stopped).Progress.toStdString();
    // The dropped body joins once the others flow: the engine restarts a
    // dropped download by itself, and a download it begins in that moment
    // may be left without its connection (seen with Qt WebEngine 6.4).
    const int dropped = add("dropped");
    temp.writeFile(QFileInfo(TaskFilePath(task(dropped))).fileName(), "the old file");
    ASSERT_TRUE(WaitUntil([&] { return task(dropped).State != TaskState::Waiting; }, 10000));
    QTest::qWait(1500);
    // A body that stopped coming, on an open or a dropped connection, ends
    // once no byte came for 300 s; one that still comes goes on.
    // (The engine sometimes ends a stalled or dropped body itself, sooner.)
    clockOffset += 301;
    ASSERT_TRUE(WaitUntil([&] {
        return task(stalled).State == TaskState::Failed && task(dropped).State == TaskState::Failed;
    }, 5000));
    EXPECT_EQ(task(stopped).State, TaskState::Downloading);
    engine.scheduler().StopDownloads();
    EXPECT_EQ(task(stopped).State, TaskState::Failed);
    EXPECT_TRUE(WaitUntil([&] { return settled() && hiddenFiles().isEmpty(); }, 5000)) << hiddenFiles().join(u' ').toStdString();
    for (const int position : {stopped, stalled, dropped})
        EXPECT_EQ(readAll(TaskFilePath(task(position))), "the old file") << position;
}

TEST_F(BrowserTransferTest, ACheckThatNeedsThePersonWaitsForThemAndThenTheTaskCompletes)
{
    values.DownloadMethod = 3;
    browser.setTiming({.UserCheckAfterMs = 300});
    const QByteArray pdf = PdfBody(100 * 1024, 7);
    guarded("person", Route{.Body = pdf}, u"botcheck/interactive.html"_s);
    const int position = add("person");
    QSignalSpy needed(&browser, &BrowserTransferFactory::userCheckNeeded);
    QSignalSpy over(&browser, &BrowserTransferFactory::userCheckOver);
    engine.scheduler().StartDownloads();
    ASSERT_TRUE(WaitUntil([&] { return !needed.isEmpty(); }, 20000));
    auto* page = qobject_cast<BrowserPage*>(needed.first().first().value<QWebEnginePage*>());
    ASSERT_NE(page, nullptr);
    // Waiting for the person is no stall and no failure.
    clockOffset += 400;
    QTest::qWait(1500);
    EXPECT_EQ(task(position).State, TaskState::Downloading);
    EXPECT_EQ(needed.count(), 1);

    RunInPage(*page, u"document.getElementById('verify').click(); true"_s);
    ASSERT_TRUE(WaitUntil([&] { return settled(); }, 20000));
    EXPECT_EQ(task(position).State, TaskState::Completed);
    EXPECT_EQ(readAll(TaskFilePath(task(position))), pdf);
    ASSERT_EQ(over.count(), 1);
    EXPECT_EQ(over.first().first().value<QWebEnginePage*>(), needed.first().first().value<QWebEnginePage*>());
}

TEST_F(BrowserTransferTest, TheBrowsersMethodKeepsNoRefusalAndHoldsAHostThatAsksToSlowDown)
{
    values.DownloadMethod = 3;
    values.SecondsBetweenHostStarts = 0;
    engine.scheduler().switches().ThreadCount = 1; // the answers in the list's order
    const QByteArray busyPage = "<html><head><title>Too Many Requests</title></head><body>slow down</body></html>";
    server.route("/slow/paper.pdf", Route{.Status = 429, .Body = busyPage, .ContentType = "text/html",
                                          .Headers = {{"Retry-After", "120"}}});
    server.route("/plain/paper.pdf", Route{.Status = 403, .Body = "<html><head><title>Forbidden</title></head>"
                                                                  "<body>no</body></html>",
                                           .ContentType = "text/html"});
    server.route("/members/paper.pdf", Route{.Status = 403, .Body = "<html><head><title>Sign in</title></head>"
                                                                    "<body>please sign in</body></html>",
                                             .ContentType = "text/html"});
    const auto paper = [&](const char* folder) {
        engine.model().AddTask(server.url(u"/"_s + QLatin1StringView(folder) + u"/paper.pdf"_s),
                               QString::fromLatin1(folder), u"pdf"_s, temp.path() + u'/', {});
        return engine.list().count();
    };
    const int members = paper("members");
    const int plain = paper("plain");
    const int slow = paper("slow");
    engine.scheduler().StartDownloads();
    ASSERT_TRUE(WaitUntil([&] { return task(slow).Progress.startsWith(u"等待"_s); }, 40000))
        << task(slow).Progress.toStdString();

    EXPECT_EQ(task(members).Type, u"htm"_s) << "a sign-in page is kept, as before";
    EXPECT_EQ(task(plain).State, TaskState::Failed);
    EXPECT_EQ(task(plain).Progress, u"网站拒绝访问"_s);
    // The engine shows no headers: the host's own back-off stands in for "Retry-After".
    EXPECT_EQ(task(slow).State, TaskState::Waiting);
    EXPECT_EQ(task(slow).Progress, u"等待 10 秒"_s);
    const QStringList files = QDir(temp.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(files, QStringList{u"members.htm"_s});
    // Nothing more goes to the host while it waits.
    const qsizetype asked = server.requests.size();
    QTest::qWait(1500);
    EXPECT_EQ(server.requests.size(), asked);
    EXPECT_TRUE(sounds.played.isEmpty());
    engine.scheduler().StopDownloads();
}

} // namespace
