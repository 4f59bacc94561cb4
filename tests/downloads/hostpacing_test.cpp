#include "listfixture.h"
#include "schedulerfakes.h"

#include "core/programvalues.h"
#include "downloads/engine/downloadscheduler.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The scheduler's starts through its host gate, with fake transfers and a
// clock the test moves: what a host that asks to slow down, refuses, or gets
// many starts sees of the program.
class HostPacingTest : public ::testing::Test, public ListFixture {
protected:
    HostPacingTest()
    {
        values.SecondsBetweenHostStarts = 0;
        scheduler.setAutoLogin(&login);
        scheduler.setUtcClock([this] { return utcNow; });
        scheduler.switches().ThreadCount = 3;
        scheduler.switches().Sounds = true;
        scheduler.switches().AutoLogin = true;
        QObject::connect(&scheduler, &DownloadScheduler::stateTextChanged,
                         [this](const QString& text) { panel3 = text; });
    }

    // A waiting task for a paper on host; returns its position.
    int paper(const QString& host)
    {
        const int n = list.count();
        list.AddTask(u"https://"_s + host + u"/doi/pdf/10.1021/p"_s + QString::number(n), u"p"_s + QString::number(n),
                     u"pdf"_s, temp.path() + u'/', {});
        return n + 1;
    }

    FakeTransfer* transferOf(int position)
    {
        for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot) {
            if (scheduler.slotLoaded(slot) && scheduler.slotPosition(slot) == position) {
                for (const auto& t : transfers.started) {
                    if (t && t->Url == list.TaskAt(position)->Url && !t->Cancelled)
                        return t;
                }
            }
        }
        return nullptr;
    }

    // The running transfer of the task answers: a refusal with its reason.
    void answer(int position, int status, const QString& retryAfter, const char16_t* reason)
    {
        FakeTransfer* transfer = transferOf(position);
        ASSERT_NE(transfer, nullptr) << position;
        transfer->Answer = HostAnswer{status, retryAfter};
        emit transfer->DownloadError(QString::fromUtf16(reason), transfer->SaveFile);
    }

    void slowDown(int position, const QString& retryAfter = {})
    {
        answer(position, 429, retryAfter, kReasonSlowDown);
    }

    void complete(int position)
    {
        FakeTransfer* transfer = transferOf(position);
        ASSERT_NE(transfer, nullptr) << position;
        transfer->Answer = HostAnswer{200, {}};
        emit transfer->DownloadComplete(100, 100, transfer->SaveFile);
    }

    // The clock moves on; the housekeeping and the scheduler look once.
    void after(double seconds)
    {
        now += seconds;
        scheduler.HousekeepingTick();
        scheduler.ScheduleTick();
    }

    bool running(int position) { return transferOf(position) != nullptr; }

    double now = 36000; // 10:00:00
    QDateTime utcNow = QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0), Qt::UTC);
    QString panel3;
    ProgramValues values;
    FakeTransfers transfers;
    FakeSounds sounds;
    FakeLogin login;
    DownloadScheduler scheduler{model, values, transfers, sounds, prompts, [this] { return now; }};
};

TEST_F(HostPacingTest, RetryAfterHoldsTheWholeHostWhileOtherHostsGoOn)
{
    const int a1 = paper(u"pubs.acs.org"_s);
    const int a2 = paper(u"pubs.acs.org"_s);
    const int b1 = paper(u"other.example"_s);
    const int b2 = paper(u"other.example"_s);
    scheduler.switches().ThreadCount = 2;
    scheduler.StartDownloads();
    ASSERT_TRUE(running(a1) && running(a2));

    slowDown(a1, u"30"_s);
    const DownloadTask& task = *list.TaskAt(a1);
    EXPECT_EQ(task.State, Waiting);
    EXPECT_EQ(task.Progress, u"等待 30 秒"_s);
    EXPECT_EQ(task.Type, u"pdf"_s);
    EXPECT_FALSE(fileOf(a1)) << "nothing under the article's name";
    EXPECT_EQ(panel3, u"网站 pubs.acs.org 要求放慢下载，10:00:30 后继续"_s);
    EXPECT_TRUE(sounds.played.isEmpty());
    EXPECT_TRUE(login.calls.isEmpty());
    EXPECT_EQ(list.CountBadResults(), 0);

    // The freed slot goes to the other host; the waiting one gets nothing.
    QCoreApplication::processEvents();
    EXPECT_TRUE(running(b1));
    complete(a2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(running(b2));
    complete(b1);
    complete(b2);
    after(12);
    EXPECT_EQ(task.Progress, u"等待 18 秒"_s);
    EXPECT_FALSE(running(a1));

    // The wait belongs to the host, not to the run.
    scheduler.StopDownloads();
    scheduler.StartDownloads();
    after(17);
    EXPECT_FALSE(running(a1));
    EXPECT_EQ(task.Progress, u"等待 1 秒"_s);
    after(1);
    EXPECT_TRUE(running(a1));
    EXPECT_EQ(panel3, QString());
}

TEST_F(HostPacingTest, BackOffDoublesAndTheThirdAnswerFailsTheTaskWithItsReason)
{
    const int p = paper(u"pubs.acs.org"_s);
    scheduler.StartDownloads();
    slowDown(p);
    EXPECT_EQ(list.TaskAt(p)->Progress, u"等待 10 秒"_s);
    after(10);
    ASSERT_TRUE(running(p));
    slowDown(p);
    EXPECT_EQ(list.TaskAt(p)->Progress, u"等待 20 秒"_s);
    after(19);
    EXPECT_FALSE(running(p));
    after(1);
    ASSERT_TRUE(running(p));
    slowDown(p);
    EXPECT_EQ(list.TaskAt(p)->State, Failed);
    EXPECT_EQ(list.TaskAt(p)->Progress, u"网站多次要求放慢"_s);
    EXPECT_EQ(list.CountBadResults(), 0) << "a busy site is no reason to stop";
    EXPECT_FALSE(sounds.played.contains(kSoundWebPage));
    EXPECT_TRUE(login.calls.isEmpty());
    // The host still waits its fourth back-off: a failed task does not make it willing.
    const int next = paper(u"pubs.acs.org"_s);
    after(39);
    EXPECT_FALSE(running(next));
    after(1);
    EXPECT_TRUE(running(next));
}

TEST_F(HostPacingTest, RetryAfterAsADateAndAWaitOverAnHour)
{
    const int p = paper(u"pubs.acs.org"_s);
    const int q = paper(u"pubs.acs.org"_s);
    scheduler.StartDownloads();
    answer(p, 503, u"Thu, 10 Dec 2026 12:00:45 GMT"_s, kReasonSlowDown);
    EXPECT_EQ(list.TaskAt(p)->Progress, u"等待 46 秒"_s) << "to the end of the named second";
    answer(q, 503, u"7200"_s, kReasonSlowDown);
    EXPECT_EQ(list.TaskAt(q)->State, Failed);
    EXPECT_EQ(list.TaskAt(q)->Progress, u"网站要求等待超过1小时"_s);
    // The host is held for the longest wait the gate keeps, not for two hours.
    EXPECT_EQ(panel3, u"网站 pubs.acs.org 要求放慢下载，11:00:00 后继续"_s);
    after(3599);
    EXPECT_FALSE(running(p));
    after(1);
    EXPECT_TRUE(running(p));
}

TEST_F(HostPacingTest, ARetryAfterDateHoldsTheHostToTheEndOfItsSecond)
{
    // Both clocks stand a quarter of a second after a whole second.
    now = 36000.25;
    utcNow = QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0, 250), Qt::UTC);
    const int p = paper(u"pubs.acs.org"_s);
    scheduler.StartDownloads();
    answer(p, 503, u"Thu, 10 Dec 2026 12:00:03 GMT"_s, kReasonSlowDown);
    EXPECT_EQ(list.TaskAt(p)->Progress, u"等待 4 秒"_s);
    EXPECT_EQ(panel3, u"网站 pubs.acs.org 要求放慢下载，10:00:04 后继续"_s);
    // Within the named second the host is not asked again, even at its very end.
    after(3.25); // 10:00:03.5
    EXPECT_FALSE(running(p));
    after(0.49); // 10:00:03.99
    EXPECT_FALSE(running(p));
    now = 36004;
    scheduler.ScheduleTick();
    EXPECT_TRUE(running(p));
}

TEST_F(HostPacingTest, ThreePlainRefusalsInARowPauseTheHost)
{
    const int first = paper(u"pubs.acs.org"_s);
    const int second = paper(u"pubs.acs.org"_s);
    const int third = paper(u"pubs.acs.org"_s);
    const int fourth = paper(u"pubs.acs.org"_s);
    scheduler.StartDownloads();
    answer(first, 403, {}, kReasonRefused);
    answer(second, 403, {}, kReasonRefused);
    EXPECT_EQ(panel3, QString()) << "two refusals do not pause the host yet";
    answer(third, 403, {}, kReasonRefused);
    for (const int p : {first, second, third}) {
        EXPECT_EQ(list.TaskAt(p)->State, Failed);
        EXPECT_EQ(list.TaskAt(p)->Progress, u"网站拒绝访问"_s);
        EXPECT_EQ(list.TaskAt(p)->Type, u"pdf"_s);
        EXPECT_FALSE(fileOf(p));
    }
    EXPECT_TRUE(login.calls.isEmpty());
    EXPECT_EQ(panel3, u"网站 pubs.acs.org 连续拒绝访问，暂停到 10:10:00"_s);
    QCoreApplication::processEvents();
    after(599);
    EXPECT_FALSE(running(fourth));
    after(1);
    EXPECT_TRUE(running(fourth));
}

TEST_F(HostPacingTest, PaceSpacesTheStartsToOneHostAndTheHourlyCapHoldsTheRest)
{
    values.SecondsBetweenHostStarts = 2;
    const int a1 = paper(u"pubs.acs.org"_s);
    const int a2 = paper(u"pubs.acs.org"_s);
    const int b1 = paper(u"other.example"_s);
    scheduler.StartDownloads();
    // Three slots, but one start per host until the pace allows the next.
    EXPECT_TRUE(running(a1));
    EXPECT_FALSE(running(a2));
    EXPECT_TRUE(running(b1));
    after(1);
    EXPECT_FALSE(running(a2));
    after(1);
    EXPECT_TRUE(running(a2));

    values.SecondsBetweenHostStarts = 0;
    values.HostStartsPerHour = 3;
    const int a3 = paper(u"pubs.acs.org"_s);
    const int a4 = paper(u"pubs.acs.org"_s);
    complete(a1);
    complete(a2);
    complete(b1);
    after(1);
    EXPECT_TRUE(running(a3)) << "the third start of the hour";
    complete(a3);
    after(1800);
    EXPECT_FALSE(running(a4));
    // An hour after the first start a place in the hour is free again.
    after(3600 - 1800 - 3);
    EXPECT_TRUE(running(a4));
}

TEST_F(HostPacingTest, AStartThePaceHeldBackComesWhenThePaceAllowsNotAtTheNextTick)
{
    values.SecondsBetweenHostStarts = 2;
    const int a1 = paper(u"pubs.acs.org"_s);
    const int a2 = paper(u"pubs.acs.org"_s);
    scheduler.StartDownloads();
    ASSERT_TRUE(running(a1));
    now += 1.8;
    scheduler.ScheduleTick(); // 0.2 s short of the pace: held back
    ASSERT_FALSE(running(a2));
    now += 0.2;
    // No tick of the scheduler's own second: the held-back start comes by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return running(a2); }, 700));
}

TEST_F(HostPacingTest, TheBrowsersRetryAfterABotCheckWaitsForItsHostLikeAnyStart)
{
    FakeTransfers retries;
    scheduler.setBrowserTransferFactories(nullptr, &retries);
    values.BrowserFallback = true;
    values.SecondsBetweenHostStarts = 2;
    const int a1 = paper(u"pubs.acs.org"_s);
    const int b1 = paper(u"other.example"_s);
    scheduler.StartDownloads();
    answer(a1, 403, {}, kReasonBotCheck);
    // Not at once: the pace counts from the first start.
    EXPECT_TRUE(retries.started.isEmpty());
    EXPECT_EQ(list.TaskAt(a1)->State, Waiting);
    EXPECT_FALSE(fileOf(a1)) << "nothing under the article's name";
    EXPECT_TRUE(running(b1));
    after(1);
    EXPECT_TRUE(retries.started.isEmpty());
    after(1);
    ASSERT_EQ(retries.started.size(), 1);
    EXPECT_EQ(list.TaskAt(a1)->State, Downloading);
    EXPECT_EQ(transfers.started.size(), 2) << "the retry goes through the browser, not the first way again";
    emit retries.started[0]->DownloadComplete(100, 100, retries.started[0]->SaveFile);

    // A host that asked to slow down gets no retry before its time either.
    values.SecondsBetweenHostStarts = 0;
    const int a2 = paper(u"pubs.acs.org"_s);
    const int a3 = paper(u"pubs.acs.org"_s);
    after(1);
    ASSERT_TRUE(running(a2) && running(a3));
    slowDown(a2, u"30"_s);
    answer(a3, 403, {}, kReasonBotCheck);
    after(29);
    EXPECT_EQ(retries.started.size(), 1);
    EXPECT_EQ(list.TaskAt(a3)->Progress, u"等待 1 秒"_s);
    after(1);
    ASSERT_EQ(retries.started.size(), 2);
    EXPECT_EQ(retries.started[1]->Url, list.TaskAt(a3)->Url);
}

TEST_F(HostPacingTest, TheSingleTransfersBrowserRetryWaitsForThePaceToo)
{
    FakeTransfers single;
    FakeTransfers retries;
    scheduler.setSingleTransferFactory(&single);
    scheduler.setBrowserTransferFactories(nullptr, &retries);
    values.DownloadMethod = 1;
    values.BrowserFallback = true;
    values.SecondsBetweenHostStarts = 2;
    scheduler.optionsChanged(2);
    const int a1 = paper(u"pubs.acs.org"_s);
    scheduler.StartDownloads();
    ASSERT_EQ(single.started.size(), 1);
    emit single.started[0]->DownloadError(QString::fromUtf16(kReasonBotCheck), {});
    after(1);
    EXPECT_TRUE(retries.started.isEmpty());
    after(1);
    ASSERT_EQ(retries.started.size(), 1);
    EXPECT_EQ(single.started.size(), 1);
    // The browser is given the file's name at its start.
    EXPECT_EQ(QFileInfo(retries.started[0]->SaveFile).fileName(), list.TaskAt(a1)->Name + u".pdf"_s);
}

TEST_F(HostPacingTest, ManyStartsToOneHostAskOnceARunWhetherToGoOn)
{
    scheduler.switches().ThreadCount = 6;
    for (int i = 0; i < DownloadScheduler::kBulkStartsPerHour + 10; ++i)
        paper(u"pubs.acs.org"_s);
    prompts.yesNoAnswers = {true};
    scheduler.StartDownloads();
    int completed = 0;
    // Each turn ends what runs; the freed slots fill from the event loop.
    for (int turn = 0; turn < 200 && completed < list.count(); ++turn) {
        for (int p = 1; p <= list.count(); ++p) {
            if (running(p)) {
                complete(p);
                ++completed;
            }
        }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(completed, list.count());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].Kind, u"yesno"_s);
    EXPECT_TRUE(prompts.shown[0].Text.contains(u"pubs.acs.org"_s));
    EXPECT_TRUE(prompts.shown[0].Text.contains(u"每小时最多下载篇数(0为不限)"_s));
    EXPECT_TRUE(prompts.shown[0].Text.contains(u"同一网站两次开始的间隔(秒)"_s));
}

TEST_F(HostPacingTest, WhileTheBulkQuestionWaitsTheHeldRowsAndPanel3SaySo)
{
    scheduler.switches().ThreadCount = 6;
    const int limit = DownloadScheduler::kBulkStartsPerHour;
    for (int i = 0; i < limit + 8; ++i)
        paper(u"pubs.acs.org"_s);
    const int other = paper(u"other.example"_s);
    const int touched = paper(u"pubs.acs.org"_s);
    list.TaskAt(touched)->Progress = u"不存在"_s;
    prompts.yesNoAnswers = {true};
    scheduler.StartDownloads();
    // The ticks run here, not from the event loop, so the question stays
    // unasked: the state a user sees while its box waits.
    while (transfers.started.size() < limit) {
        for (int p = 1; p <= list.count(); ++p) {
            if (running(p))
                complete(p);
        }
        scheduler.ScheduleTick();
    }
    ASSERT_TRUE(prompts.shown.isEmpty());
    const QString question = u"等待您的回答：是否继续从 pubs.acs.org 下载"_s;
    const auto heldRowsSayIt = [&] {
        for (int p = limit + 1; p <= limit + 8; ++p) {
            if (list.TaskAt(p)->State != Waiting || list.TaskAt(p)->Progress != u"等待您的回答"_s)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(heldRowsSayIt());
    EXPECT_EQ(panel3, question);
    EXPECT_TRUE(running(other)) << "other hosts go on";
    EXPECT_EQ(list.TaskAt(touched)->Progress, u"不存在"_s) << "a row's own text stays";
    // The countdowns of every second keep it, and a connection's state
    // reported meanwhile does not hide it for long.
    emit transferOf(other)->StateChanged(1, u"正在连接"_s);
    after(1);
    EXPECT_TRUE(heldRowsSayIt());
    EXPECT_EQ(panel3, question);

    // Answered: the rows and panel 3 are what they were, and the run goes on.
    complete(other);
    for (int p = 1; p <= limit; ++p) {
        if (running(p))
            complete(p);
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(panel3, QString());
    int started = 0;
    for (int p = limit + 1; p <= limit + 8; ++p) {
        const DownloadTask& task = *list.TaskAt(p);
        if (task.State == Downloading)
            ++started;
        else
            EXPECT_TRUE(task.State == Waiting && IsUntouched(task)) << p << " " << task.Progress.toStdString();
    }
    EXPECT_EQ(started, 6);
    EXPECT_EQ(list.TaskAt(touched)->Progress, u"不存在"_s);
}

TEST_F(HostPacingTest, NoToTheBulkQuestionStopsNewStarts)
{
    for (int i = 0; i < DownloadScheduler::kBulkStartsPerHour + 1; ++i)
        paper(u"pubs.acs.org"_s);
    scheduler.switches().ThreadCount = 6;
    scheduler.switches().AutoStart = true;
    scheduler.StartDownloads(); // the prompts answer No to anything
    for (int turn = 0; turn < 100; ++turn) {
        for (int p = 1; p <= list.count(); ++p) {
            if (running(p))
                complete(p);
        }
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    const DownloadTask& last = *list.TaskAt(list.count());
    EXPECT_EQ(last.State, Waiting);
    EXPECT_TRUE(IsUntouched(last)) << "its row no longer waits for an answer";
    EXPECT_EQ(panel3, QString());
    EXPECT_FALSE(scheduler.SchedulerEnabled());
    EXPECT_EQ(prompts.shown.size(), 1);
    // "No" means no: the automatic start does not start the run again.
    scheduler.HousekeepingTick();
    EXPECT_FALSE(scheduler.SchedulerEnabled());
    EXPECT_FALSE(scheduler.switches().AutoStart);
}

} // namespace
