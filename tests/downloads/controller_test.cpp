#include "listfixture.h"

#include "core/pathfunctions.h"
#include "core/programvalues.h"
#include "downloads/engine/downloadscontroller.h"
#include "downloads/engine/soundclips.h"
#include "support/testhttpserver.h"

#include <QDir>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

struct NoSounds final : SoundPlayer {
    void PlayNotifySound(int) override {}
};

TEST(DownloadsController, OptionsReachTheNextStartOfARunningScheduler)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/a.pdf", Route{.Body = PdfBody(3 * 1024 * 1024)});
    server.route("/b.pdf", Route{.Body = PdfBody(3 * 1024 * 1024, 1)});
    ListFixture f;
    ProgramValues values;
    double now = 1000;
    NoSounds sounds;
    DownloadsController engine(values, f.prompts, f.shell, sounds,
                               {.UserAgent = u"PaperpullTest"_s, .Clock = [&] { return now; }});
    DownloadScheduler& scheduler = engine.scheduler();
    engine.model().AddTask(server.url(u"/a.pdf"_s), u"a"_s, u"pdf"_s, f.temp.path(), u"https://results.example/1"_s);
    engine.model().AddTask(server.url(u"/b.pdf"_s), u"b"_s, u"pdf"_s, f.temp.path(), u"https://results.example/1"_s);
    scheduler.switches().ThreadCount = 1;
    scheduler.switches().IntervalSeconds = 30; // the next start waits for the clock
    now += 31;
    scheduler.StartDownloads();
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.list().TaskAt(1)->State == Completed; }, 10000));
    EXPECT_EQ(engine.list().TaskAt(1)->Progress, u"100%"_s);
    EXPECT_FALSE(server.requests.last().Headers.contains("referer")); // the parallel method sends none

    ProgramValues changed = values;
    changed.MaxFileSizeMB = 2;
    changed.DownloadMethod = 1;
    engine.applyOptions(changed);
    EXPECT_EQ(scheduler.methodLabelText(), u"下载方式：1"_s);
    EXPECT_TRUE(scheduler.SchedulerEnabled());
    now += 31;
    scheduler.ScheduleTick();
    ASSERT_EQ(engine.list().TaskAt(2)->State, Downloading);
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.list().TaskAt(2)->State != Downloading; }, 10000));
    const DownloadTask& b = *engine.list().TaskAt(2);
    EXPECT_EQ(b.Progress, u"大文件，跳过"_s); // the new limit
    EXPECT_EQ(server.requests.last().Headers.value("referer"), "https://results.example/1"); // the new method
    EXPECT_FALSE(QFile::exists(TaskFilePath(b)));
}

// Prompts whose first message runs an event loop of its own for longer than a
// scheduler tick, as a modal message box does.
class ModalPrompts final : public UserPrompts {
public:
    void showMessage(const QString& text, MessageIcon, const QString&) override
    {
        messages.append(text);
        if (messages.size() > 1)
            return;
        QEventLoop loop;
        QTimer::singleShot(1300, &loop, &QEventLoop::quit);
        loop.exec();
    }
    bool askYesNo(const QString&, MessageIcon, const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }

    QStringList messages;
};

TEST(DownloadsController, AMessageFromATickIsShownAfterItWithoutASecondTickInside)
{
    ListFixture f;
    ProgramValues values;
    ModalPrompts prompts;
    NoSounds sounds;
    DownloadsController engine(values, prompts, f.shell, sounds);
    // A folder name that cannot be made: the tick's folder check has to say so.
    const QString badFolder = f.temp.path() + u"/:*?/"_s;
    engine.model().AddTask(u"http://127.0.0.1:1/a.pdf"_s, u"a"_s, u"pdf"_s, badFolder, {});
    engine.model().AddTask(u"http://127.0.0.1:1/b.pdf"_s, u"b"_s, u"pdf"_s, badFolder, {});
    DownloadScheduler& scheduler = engine.scheduler();
    scheduler.switches().ThreadCount = 1;
    scheduler.switches().IntervalSeconds = 0;
    scheduler.StartDownloads();
    EXPECT_TRUE(prompts.messages.isEmpty()); // not from inside the tick
    EXPECT_TRUE(scheduler.slotLoaded(1));
    const int startedPosition = scheduler.slotPosition(1);

    // The box comes up once the tick has returned; while it is open the
    // scheduler's timer goes on, and no tick runs inside another.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.isEmpty(); }, 2000));
    EXPECT_EQ(prompts.messages.first(), QString::fromUtf16(kFolderNameError));
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine.list().AllTasksSettled(); }, 10000));
    EXPECT_EQ(startedPosition, 1);
    for (int p = 1; p <= 2; ++p)
        EXPECT_EQ(engine.list().TaskAt(p)->State, Failed) << p; // nothing listens on port 1
}

TEST(DownloadsController, AKeptListComesBackAndADamagedOneIsSetAsideAndToldAfterwards)
{
    ListFixture f;
    ProgramValues values;
    NoSounds sounds;
    const QString file = f.temp.writeFile(u"downloads.dat"_s, "PPLIST\r\nDLST\1\0\0\0 cut short");
    {
        DownloadsController engine(values, f.prompts, f.shell, sounds);
        ASSERT_TRUE(engine.keepListIn(file));
        EXPECT_TRUE(f.prompts.shown.isEmpty()); // not from inside whatever built the engine
        ASSERT_TRUE(QTest::qWaitFor([&] { return !f.prompts.shown.isEmpty(); }, 5000));
        ASSERT_EQ(f.prompts.messages().size(), 1);
        EXPECT_TRUE(f.prompts.messages()[0].contains(u"下载列表"_s));
        EXPECT_EQ(engine.list().count(), 0);
        EXPECT_EQ(QDir(f.temp.path()).entryList({u"downloads.dat.damaged-*"_s}).size(), 1);
        // A good file takes its place.
        engine.model().AddTask(u"https://h/doi/pdf/a"_s, u"a"_s, u"pdf"_s, f.temp.path(), {});
        engine.list().TaskAt(1)->State = Completed;
        engine.saveListNow();
    }
    DownloadsController nextRun(values, f.prompts, f.shell, sounds);
    ASSERT_TRUE(nextRun.keepListIn(file));
    ASSERT_EQ(nextRun.list().count(), 1);
    EXPECT_EQ(nextRun.list().TaskAt(1)->Name, u"a"_s);
    EXPECT_EQ(nextRun.list().TaskAt(1)->State, Completed);
    EXPECT_EQ(f.prompts.messages().size(), 1);
}

} // namespace
