#include "listfixture.h"

#include "core/programvalues.h"
#include "downloads/engine/downloadscheduler.h"
#include "transfers/curllayer.h"
#include "transfers/inettransfer.h"
#include "downloads/engine/soundclips.h"
#include "transfers/transfer.h"
#include "support/testhttpserver.h"
#include "support/tinyproxyprocess.h"

#include <QFile>
#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

struct NoTransfers final : TransferFactory {
    std::unique_ptr<Transfer> createTransfer() override { return nullptr; }
};

// The single-transfer method's transfers, the last one kept so a test can
// move its stall clock.
struct InetTransfers final : TransferFactory {
    InetTransfers(NetworkContext network, const ProgramValues& values, SecondsClock clock)
        : factory(std::move(network), values, std::move(clock), InetTransfer::Timing{2000, 300})
    {
    }
    std::unique_ptr<Transfer> createTransfer() override
    {
        std::unique_ptr<Transfer> transfer = factory.createTransfer();
        last = static_cast<InetTransfer*>(transfer.get());
        return transfer;
    }
    InetTransferFactory factory;
    QPointer<InetTransfer> last;
};

struct Sounds final : SoundPlayer {
    void PlayNotifySound(int id) override { played.append(id); }
    QList<int> played;
};

class InetTransferTest : public ::testing::Test, public ListFixture {
protected:
    InetTransferTest()
    {
        EXPECT_TRUE(server.listen());
        values.DownloadMethod = 1;
        values.MaxFileSizeMB = 10;
        values.SecondsBetweenHostStarts = 0; // the clock stands still here
        scheduler.setSingleTransferFactory(&inet);
        scheduler.switches().Policy = DuplicatePolicy::Rename;
    }

    int addTask(const QString& target, const QString& name, const QString& referer = {})
    {
        list.AddTask(server.url(target), name, u"pdf"_s, temp.path(), referer);
        return list.count();
    }

    // Runs one task through the single-transfer method and waits for it to finish.
    bool run(int position, int waitMs = 10000)
    {
        QSignalSpy finished(&scheduler, &DownloadScheduler::transferEnded);
        list.TaskAt(position)->State = Downloading;
        scheduler.StartInetTask(position);
        return finished.count() > 0 || finished.wait(waitMs);
    }

    QByteArray fileOf(int position) const
    {
        QFile file(TaskFilePath(*list.TaskAt(position)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    TestHttpServer server;
    CurlLayer layer;
    QNetworkCookieJar jar;
    ProgramValues values;
    NoTransfers noTransfers;
    Sounds sounds;
    double now = 3000;
    SecondsClock clock = [this] { return now; };
    InetTransfers inet{NetworkContext{&layer, &jar, u"PaperpullTest"_s}, values, clock};
    DownloadScheduler scheduler{model, values, noTransfers, sounds, prompts, clock};
};

TEST_F(InetTransferTest, FileWithLengthArrivesWithReferrerAndStateTexts)
{
    server.route("/doi/pdf/1", Route{.Body = PdfBody(50000), .ContentType = "application/pdf; charset=utf-8",
                                     .DripBytes = 10000, .DripMs = 5});
    const int p = addTask(u"/doi/pdf/1"_s, u"Paper"_s, u"https://pubs.example.org/results?q=1"_s);
    QSignalSpy states(&scheduler, &DownloadScheduler::stateTextChanged);
    ASSERT_TRUE(run(p));
    const DownloadTask& t = *list.TaskAt(p);
    EXPECT_EQ(t.State, Completed);
    EXPECT_EQ(t.Size, u"50000"_s);
    EXPECT_EQ(t.Received, u"50000"_s);
    EXPECT_EQ(t.Progress, u"100%"_s);
    EXPECT_EQ(t.Type, u"pdf"_s);
    EXPECT_EQ(fileOf(p), PdfBody(50000));
    EXPECT_EQ(server.requests.last().Headers.value("referer"), "https://pubs.example.org/results?q=1");
    EXPECT_EQ(server.requests.last().Headers.value("user-agent"), "PaperpullTest");
    QStringList texts;
    for (const auto& s : states)
        texts.append(s.first().toString().section(u' ', 0, 0));
    EXPECT_EQ(texts, (QStringList{u"3"_s, u"5"_s, u"7"_s, u"8"_s, u"12"_s}));
    EXPECT_FALSE(scheduler.TransferBusy());
}

TEST_F(InetTransferTest, ReferrerFallsBackToTheSiteRoot)
{
    server.route("/a.pdf", Route{.Body = PdfBody(100)});
    ASSERT_TRUE(run(addTask(u"/a.pdf"_s, u"a"_s)));
    EXPECT_EQ(server.requests.last().Headers.value("referer"), server.url(QString()).toUtf8());
}

TEST_F(InetTransferTest, HeadersAreTheFinalResponsesAfterARedirect)
{
    server.route("/go", Route{.Status = 302, .Body = "moved", .ContentType = "text/plain", .Location = "/final.pdf"});
    server.route("/final.pdf", Route{.Body = PdfBody(12345)});
    const int p = addTask(u"/go"_s, u"Moved"_s);
    ASSERT_TRUE(run(p));
    EXPECT_EQ(list.TaskAt(p)->State, Completed);
    EXPECT_EQ(list.TaskAt(p)->Size, u"12345"_s);
    EXPECT_EQ(fileOf(p), PdfBody(12345));

    server.route("/away", Route{.Status = 302, .Body = "moved", .ContentType = "text/plain",
                                .Location = "ftp://127.0.0.1/x.pdf"});
    const int refused = addTask(u"/away"_s, u"Away"_s);
    ASSERT_TRUE(run(refused));
    EXPECT_EQ(list.TaskAt(refused)->State, Failed);
    EXPECT_FALSE(QFile::exists(TaskFilePath(*list.TaskAt(refused))));
}

TEST_F(InetTransferTest, NoUsableLengthGoesThroughTheWholeFetch)
{
    server.route("/nolength", Route{.Body = PdfBody(30000), .SendLength = false, .DripBytes = 5000, .DripMs = 10});
    const int p = addTask(u"/nolength"_s, u"NoLength"_s);
    QStringList sizes;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&] { sizes.append(list.TaskAt(p)->Size); });
    ASSERT_TRUE(run(p));
    EXPECT_TRUE(sizes.contains(u"未知"_s));
    const DownloadTask& t = *list.TaskAt(p);
    EXPECT_EQ(t.State, Completed);
    EXPECT_EQ(t.Size, u"30000"_s);
    EXPECT_EQ(t.Progress, u"100%"_s);
    EXPECT_EQ(fileOf(p), PdfBody(30000));
    EXPECT_FALSE(server.requests.last().Headers.contains("referer")); // the plain fetch
}

TEST_F(InetTransferTest, NonNumericLengthAlsoGoesThroughTheWholeFetch)
{
    server.route("/oddlength", Route{.Body = PdfBody(3000), .SendLength = false, .Headers = {{"Content-Length", "about 3k"}}});
    const int p = addTask(u"/oddlength"_s, u"OddLength"_s);
    ASSERT_TRUE(run(p));
    EXPECT_EQ(list.TaskAt(p)->Size, u"3000"_s);
    EXPECT_EQ(list.TaskAt(p)->State, Completed);
    EXPECT_EQ(fileOf(p), PdfBody(3000));
}

TEST_F(InetTransferTest, AnnouncedSizeOverTheLimitIsSkippedUnwritten)
{
    server.route("/huge", Route{.Body = PdfBody(1000), .AnnouncedLength = 20LL * 1024 * 1024});
    const int p = addTask(u"/huge"_s, u"Huge"_s);
    ASSERT_TRUE(run(p));
    EXPECT_EQ(list.TaskAt(p)->State, Completed);
    EXPECT_EQ(list.TaskAt(p)->Progress, u"大文件，跳过"_s);
    EXPECT_EQ(list.TaskAt(p)->Size, QString::number(20LL * 1024 * 1024));
    EXPECT_FALSE(QFile::exists(TaskFilePath(*list.TaskAt(p))));
}

TEST_F(InetTransferTest, EndlessBodyWithoutLengthIsHeldToTheLimit)
{
    server.route("/endless", Route{.Endless = true});
    values.MaxFileSizeMB = 2;
    const int p = addTask(u"/endless"_s, u"Endless"_s);
    ASSERT_TRUE(run(p, 20000));
    EXPECT_EQ(list.TaskAt(p)->Progress, u"大文件，跳过"_s);
    EXPECT_FALSE(QFile::exists(TaskFilePath(*list.TaskAt(p))));
}

TEST_F(InetTransferTest, ContentTypeNamesTheType)
{
    server.route("/page", Route{.Body = "<html><head><title>Sign in</title></head></html>", .ContentType = "text/html"});
    scheduler.switches().Sounds = true;
    const int p = addTask(u"/page"_s, u"Page"_s);
    ASSERT_TRUE(run(p));
    EXPECT_EQ(list.TaskAt(p)->Type, u"htm"_s); // "html" from the header, then "htm" from the content
    EXPECT_TRUE(QFile::exists(temp.filePath(u"Page.htm"_s)));
    EXPECT_EQ(sounds.played, QList<int>{kSoundWebPage});
}

TEST_F(InetTransferTest, TargetThatCannotBeReplaced)
{
    // A file no one may delete, root included.
    server.route("/version", Route{.Body = PdfBody(500), .ContentType = "application/octet-stream"});
    list.AddTask(server.url(u"/version"_s), u"version"_s, QString(), u"/proc"_s, {});
    scheduler.switches().Policy = DuplicatePolicy::Overwrite;
    ASSERT_TRUE(run(list.count()));
    const DownloadTask& t = *list.TaskAt(list.count());
    EXPECT_EQ(t.State, Failed);
    EXPECT_EQ(t.Progress, u"无法替换"_s);
    EXPECT_EQ(t.Size, QString::number(QFileInfo(u"/proc/version"_s).size()));
}

TEST_F(InetTransferTest, StopDuringThePieceLoopLeavesNoFile)
{
    server.route("/slow.pdf", Route{.Body = PdfBody(400000), .DripBytes = 4000, .DripMs = 20});
    const int p = addTask(u"/slow.pdf"_s, u"Slow"_s);
    QSignalSpy finished(&scheduler, &DownloadScheduler::transferEnded);
    list.TaskAt(p)->State = Downloading;
    scheduler.StartInetTask(p);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.TaskAt(p)->Received.toInt() > 0; }, 5000));
    scheduler.StopDownloads();
    ASSERT_TRUE(finished.count() > 0 || finished.wait(2000));
    EXPECT_EQ(list.TaskAt(p)->State, Failed);
    EXPECT_EQ(list.TaskAt(p)->Progress, u"下载取消"_s);
    EXPECT_FALSE(QFile::exists(TaskFilePath(*list.TaskAt(p))));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(InetTransferTest, StallFailsAndLeavesNoHalfPaper)
{
    server.route("/stall.pdf", Route{.Body = PdfBody(100000), .StallAfter = 3000});
    const int p = addTask(u"/stall.pdf"_s, u"Stall"_s);
    QSignalSpy finished(&scheduler, &DownloadScheduler::transferEnded);
    list.TaskAt(p)->State = Downloading;
    scheduler.StartInetTask(p);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.TaskAt(p)->Received == u"3000"_s; }, 5000));
    now += 300;
    inet.last->stallTick();
    EXPECT_TRUE(finished.isEmpty()); // not more than 300 seconds yet
    now += 1;
    inet.last->stallTick();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(list.TaskAt(p)->State, Failed);
    EXPECT_FALSE(QFile::exists(TaskFilePath(*list.TaskAt(p))));
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(InetTransferTest, DeferredStartWhileTheClientIsBusy)
{
    server.route("/slow.pdf", Route{.Body = PdfBody(100000), .DripBytes = 1000, .DripMs = 20});
    const int first = addTask(u"/slow.pdf"_s, u"First"_s);
    const int second = addTask(u"/slow.pdf"_s + u"?2"_s, u"Second"_s);
    list.TaskAt(first)->State = Downloading;
    scheduler.StartInetTask(first);
    list.TaskAt(second)->State = Downloading;
    scheduler.StartInetTask(second);
    EXPECT_EQ(list.TaskAt(second)->State, Waiting);
    EXPECT_EQ(list.TaskAt(second)->Size, u"等待重新下载"_s);
    scheduler.StopDownloads();
}

TEST_F(InetTransferTest, SchedulerRunsTheListOneAtATime)
{
    for (int i = 0; i < 4; ++i) {
        const QByteArray path = "/f" + QByteArray::number(i) + ".pdf";
        server.route(path, Route{.Body = PdfBody(20000 + i, i)});
        addTask(QString::fromLatin1(path), u"F"_s + QString::number(i));
    }
    int most = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&] { most = std::max(most, list.CountByState().Downloading); });
    now += 5;
    scheduler.startHousekeeping();
    scheduler.StartDownloads();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.CountByState().Completed == 4; }, 15000))
        << StatusCountersText(list.CountByState()).toStdString();
    EXPECT_EQ(most, 1);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(fileOf(p), PdfBody(20000 + p - 1, p - 1)) << p;
}

TEST_F(InetTransferTest, HostileHeadsArriveWholeOrFailAtOnce)
{
    QList<std::pair<QByteArray, QByteArray>> many;
    QList<std::pair<QByteArray, QByteArray>> huge;
    for (int i = 0; i < 300; ++i) {
        if (i < 150)
            many.append({"X-Filler-" + QByteArray::number(i), QByteArray(40, 'v')});
        huge.append({"X-Filler-" + QByteArray::number(i), QByteArray(1000, 'v')});
    }
    server.route("/many.pdf", Route{.Body = PdfBody(20 * 1024), .Headers = many});
    server.route("/huge-head.pdf", Route{.Body = PdfBody(20 * 1024), .Headers = huge});
    server.route("/no-head.pdf", Route{.Body = PdfBody(20 * 1024), .NoHead = true});
    const int whole = addTask(u"/many.pdf"_s, u"Many"_s);
    ASSERT_TRUE(run(whole));
    EXPECT_EQ(list.TaskAt(whole)->State, Completed);
    EXPECT_EQ(list.TaskAt(whole)->Size, u"20480"_s);
    EXPECT_EQ(fileOf(whole), PdfBody(20 * 1024));
    // No stall tick and no time moved: the refusal comes by itself, at once.
    for (const QString& target : {u"/huge-head.pdf"_s, u"/no-head.pdf"_s}) {
        const int p = addTask(target, target.mid(1, 4));
        ASSERT_TRUE(run(p, 5000)) << target.toStdString();
        EXPECT_EQ(list.TaskAt(p)->State, Failed) << target.toStdString();
        EXPECT_FALSE(QFile::exists(TaskFilePath(*list.TaskAt(p)))) << target.toStdString();
    }
}

TEST_F(InetTransferTest, GoesThroughARealProxy)
{
    TinyproxyProcess proxy;
    ASSERT_TRUE(proxy.start()) << "tinyproxy is installed by tools/setup";
    values.UseProxy = true;
    values.ProxyAddress = u"127.0.0.1"_s;
    values.ProxyPort = QString::number(proxy.port());
    server.route("/via.pdf", Route{.Body = PdfBody(70000)});
    const int p = addTask(u"/via.pdf"_s, u"Via"_s);
    ASSERT_TRUE(run(p));
    EXPECT_EQ(list.TaskAt(p)->State, Completed);
    EXPECT_EQ(fileOf(p), PdfBody(70000));
    EXPECT_TRUE(server.requests.last().Headers.value("via").contains("tinyproxy"))
        << server.requests.last().Headers.value("via").constData() << proxy.output().toStdString();

    // Without the proxy the request comes straight.
    values.UseProxy = false;
    server.route("/direct.pdf", Route{.Body = PdfBody(100)});
    ASSERT_TRUE(run(addTask(u"/direct.pdf"_s, u"Direct"_s)));
    EXPECT_FALSE(server.requests.last().Headers.contains("via"));
}

} // namespace
