#include "listfixture.h"

#include "core/programvalues.h"
#include "downloads/engine/downloadscontroller.h"
#include "downloads/engine/soundclips.h"
#include "support/testhttpserver.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

struct Silence final : SoundPlayer {
    void PlayNotifySound(int id) override { played.append(id); }
    QList<int> played;
};

// The scheduler with the real transfers against a local server: the whole
// road from a waiting task to a file in the folder.
TEST(Engine, ListOfMixedAddressesEndsInTheRightStates)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    ProgramValues values;
    values.MaxFileSizeMB = 2;
    ListFixture f;
    Silence sounds;
    DownloadsController engine(values, f.prompts, f.shell, sounds, {.UserAgent = u"PaperpullTest"_s});
    DownloadList& list = engine.list();
    for (int i = 0; i < 8; ++i) {
        const QByteArray path = "/doi/pdf/10.1021/ok" + QByteArray::number(i);
        server.route(path, Route{.Body = PdfBody(20000 + i * 1000, i), .DripBytes = 8000, .DripMs = 5});
        engine.model().AddTask(server.url(QString::fromLatin1(path)), u"Article "_s + QString::number(i), u"pdf"_s,
                       f.temp.path(), {});
    }
    server.route("/signin", Route{.Body = "<html><head><title>Sign in</title></head><body></body></html>",
                                  .ContentType = "text/html"});
    server.route("/big", Route{.Body = PdfBody(3 * 1024 * 1024)});
    engine.model().AddTask(server.url(u"/signin"_s), u"Needs sign-in"_s, u"pdf"_s, f.temp.path(), {});
    engine.model().AddTask(server.url(u"/big"_s), u"Too big"_s, u"pdf"_s, f.temp.path(), {});

    DownloadScheduler& scheduler = engine.scheduler();
    scheduler.switches().ThreadCount = 3;
    scheduler.switches().Sounds = true;
    scheduler.startHousekeeping();
    scheduler.StartDownloads();

    ASSERT_TRUE(QTest::qWaitFor([&] { return list.AllTasksSettled() && !scheduler.DownloadsActive(); }, 20000))
        << StatusCountersText(list.CountByState()).toStdString();

    for (int p = 1; p <= 8; ++p) {
        const DownloadTask& t = *list.TaskAt(p);
        EXPECT_EQ(t.State, Completed) << p;
        EXPECT_EQ(t.Progress, u"100%"_s) << p;
        QFile file(TaskFilePath(t));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << p;
        EXPECT_EQ(file.readAll(), PdfBody(20000 + (p - 1) * 1000, p - 1)) << p;
    }
    const DownloadTask& page = *list.TaskAt(9);
    EXPECT_EQ(page.Type, u"htm"_s);
    EXPECT_TRUE(QFile::exists(f.temp.filePath(u"Needs sign-in.htm"_s)));
    EXPECT_EQ(list.TaskAt(10)->Progress, u"大文件，跳过"_s);
    EXPECT_EQ(list.TaskAt(10)->State, Completed);
    EXPECT_TRUE(sounds.played.contains(kSoundWebPage));
    EXPECT_EQ(sounds.played.back(), kSoundFinished); // all settled
    EXPECT_FALSE(scheduler.SchedulerEnabled());
}

} // namespace
