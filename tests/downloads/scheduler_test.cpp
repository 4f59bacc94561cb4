#include "listfixture.h"
#include "schedulerfakes.h"

#include "core/citation.h"
#include "core/programvalues.h"
#include "downloads/engine/downloadscheduler.h"
#include "core/autologin.h"
#include "downloads/engine/soundclips.h"
#include "transfers/transfer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class SchedulerTest : public ::testing::Test, public ListFixture {
protected:
    SchedulerTest()
    {
        values.MaxFileSizeMB = 10;
        values.SecondsBetweenHostStarts = 0; // the slot rules, without the pace between starts
        scheduler.setAutoLogin(&login);
    }

    // Tasks whose files go into the scratch folder, named n0, n1, ...
    void waiting(int count)
    {
        for (int i = 0; i < count; ++i)
            add({{Waiting}});
    }

    FakeTransfer* transferFor(int position)
    {
        for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot) {
            if (scheduler.slotLoaded(slot) && scheduler.slotPosition(slot) == position) {
                for (const auto& t : transfers.started) {
                    if (t && t->SaveFile.contains(list.TaskAt(position)->Name))
                        return t;
                }
            }
        }
        return nullptr;
    }

    int running() const
    {
        int n = 0;
        for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot)
            n += scheduler.slotLoaded(slot) ? 1 : 0;
        return n;
    }

    double now = 5000;
    ProgramValues values;
    FakeTransfers transfers;
    FakeSounds sounds;
    FakeLogin login;
    DownloadScheduler scheduler{model, values, transfers, sounds, prompts, [this] { return now; }};
};

TEST_F(SchedulerTest, OneTickFillsEveryFreeSlotInListOrder)
{
    waiting(5);
    scheduler.switches().ThreadCount = 3;
    now += 10;
    scheduler.ScheduleTick();
    EXPECT_EQ(running(), 3);
    for (int p = 1; p <= 3; ++p) {
        EXPECT_EQ(list.TaskAt(p)->State, Downloading);
        EXPECT_EQ(scheduler.slotPosition(p), p);
    }
    EXPECT_EQ(list.TaskAt(4)->State, Waiting);
    EXPECT_TRUE(scheduler.TransferBusy());
    EXPECT_TRUE(scheduler.DownloadsActive());
    EXPECT_EQ(transfers.started.first()->Url, list.TaskAt(1)->Url);
    EXPECT_EQ(transfers.started.first()->SaveFile, temp.path() + u"/t0.pdf"_s);
}

TEST_F(SchedulerTest, AutoLocateScrollsToEachStartedTaskOnce)
{
    waiting(3);
    scheduler.switches().ThreadCount = 2;
    QSignalSpy scrolls(&scheduler, &DownloadScheduler::scrollToTask);
    now += 5;
    scheduler.ScheduleTick();
    EXPECT_TRUE(scrolls.isEmpty()); // not asked for
    emit transfers.started[0]->DownloadError(u"无法下载"_s, {});
    scheduler.switches().AutoLocate = true;
    scheduler.ScheduleTick();
    ASSERT_EQ(scrolls.count(), 1);
    EXPECT_EQ(scrolls.first().first().toInt(), 3);
}

TEST_F(SchedulerTest, IntervalCountsFromTheLastTransferEvent)
{
    struct Case {
        const char* Label;
        int Interval;
        double LastFinish;
        double Now;
        bool Starts;
    };
    const Case cases[] = {
        {"no_interval_same_instant", 0, 1000, 1000, true},
        {"within_30", 30, 1000, 1030, false},
        {"past_30", 30, 1000, 1030.5, true},
        {"after_midnight", 30, 86390, 5, true},
    };
    for (const Case& c : cases) {
        ListFixture f;
        f.add({{Waiting}, {Waiting}});
        double clock = c.Now;
        FakeTransfers t;
        DownloadScheduler s(f.model, values, t, sounds, f.prompts, [&] { return clock; });
        s.switches().IntervalSeconds = c.Interval;
        s.setLastFinishTime(c.LastFinish);
        s.ScheduleTick();
        EXPECT_EQ(t.started.size(), c.Starts ? 2 : 0) << c.Label;
    }
}

TEST_F(SchedulerTest, ExistingFileUnderSkipCompletesAndTheWalkGoesOn)
{
    waiting(2);
    temp.writeFile(u"t0.pdf"_s, "12345");
    scheduler.switches().Policy = DuplicatePolicy::Skip;
    scheduler.switches().ThreadCount = 1;
    now += 5;
    scheduler.ScheduleTick();
    EXPECT_EQ(list.TaskAt(1)->State, Completed);
    EXPECT_EQ(list.TaskAt(1)->Progress, u"已存在，跳过"_s);
    EXPECT_EQ(list.TaskAt(1)->Size, u"5"_s);
    EXPECT_EQ(list.TaskAt(2)->State, Downloading);
}

TEST_F(SchedulerTest, SameNameInOneTickUnderRename)
{
    add({{Waiting}, {Waiting}});
    list.TaskAt(2)->Name = u"t0"_s;
    scheduler.switches().ThreadCount = 2;
    now += 5;
    scheduler.ScheduleTick();
    ASSERT_EQ(transfers.started.size(), 2);
    EXPECT_EQ(list.TaskAt(1)->Name, u"t0"_s);
    EXPECT_EQ(list.TaskAt(2)->Name, u"t0[001]"_s);
}

TEST_F(SchedulerTest, UnderSkipASameNamedTaskWaitsForTheBodyOnItsWay)
{
    // No file shows the first task's name until its body is whole: the
    // second waits for it, and is skipped only once the paper is there.
    add({{Waiting}, {Waiting}});
    list.TaskAt(2)->Name = u"t0"_s;
    scheduler.switches().Policy = DuplicatePolicy::Skip;
    scheduler.switches().ThreadCount = 2;
    now += 5;
    scheduler.ScheduleTick();
    ASSERT_EQ(transfers.started.size(), 1);
    EXPECT_EQ(list.TaskAt(2)->State, Waiting);
    temp.writeFile(u"t0.pdf"_s, "%PDF-");
    emit transfers.started[0]->DownloadComplete(5, 5, {});
    now += 5;
    scheduler.ScheduleTick();
    EXPECT_EQ(transfers.started.size(), 1);
    EXPECT_EQ(list.TaskAt(2)->Progress, u"已存在，跳过"_s);
}

TEST_F(SchedulerTest, FewerThreadsWaitForTheLowSlots)
{
    waiting(8);
    scheduler.switches().ThreadCount = 6;
    now += 5;
    scheduler.ScheduleTick();
    EXPECT_EQ(running(), 6);
    scheduler.switches().ThreadCount = 2;
    emit transfers.started[4]->DownloadError(u"无法下载"_s, {}); // slot 5 finishes
    now += 5;
    scheduler.ScheduleTick();
    EXPECT_EQ(running(), 5); // slot 5 is not refilled
    emit transfers.started[0]->DownloadError(u"无法下载"_s, {}); // slot 1 finishes
    now += 5;
    scheduler.ScheduleTick();
    EXPECT_EQ(running(), 5);
    EXPECT_EQ(list.TaskAt(7)->State, Downloading);
}

TEST_F(SchedulerTest, ProgressSizeLimitAndCompletion)
{
    waiting(3);
    scheduler.switches().ThreadCount = 3;
    scheduler.switches().Sounds = true;
    now += 5;
    scheduler.ScheduleTick();
    FakeTransfer* a = transfers.started[0];
    FakeTransfer* b = transfers.started[1];
    FakeTransfer* c = transfers.started[2];

    emit a->DownloadProgress(1500, 4000, {});
    EXPECT_EQ(list.TaskAt(1)->Size, u"4000"_s);
    EXPECT_EQ(list.TaskAt(1)->Received, u"1500"_s);
    EXPECT_EQ(list.TaskAt(1)->Progress, u"37%"_s);
    emit a->DownloadProgress(10, 0, {});          // no total: ignored
    emit a->DownloadProgress(5000, 4000, {});     // more than the total: ignored
    EXPECT_EQ(list.TaskAt(1)->Progress, u"37%"_s);

    emit b->DownloadProgress(100, static_cast<qint64>(10.5 * 1024 * 1024), {});
    EXPECT_EQ(list.TaskAt(2)->State, Completed);
    EXPECT_EQ(list.TaskAt(2)->Progress, u"大文件，跳过"_s);
    EXPECT_FALSE(scheduler.slotLoaded(2));
    EXPECT_TRUE(b->Cancelled);
    emit c->DownloadProgress(100, 3 * 1024 * 1024, {});
    EXPECT_EQ(list.TaskAt(3)->State, Downloading);

    temp.writeFile(u"t0.pdf"_s, "%PDF-1.4 whole enough to be recognised");
    now = 6000;
    emit a->DownloadComplete(4000, 4000, {});
    EXPECT_EQ(list.TaskAt(1)->State, Completed);
    EXPECT_EQ(list.TaskAt(1)->Progress, u"100%"_s);
    EXPECT_EQ(scheduler.LastFinishTime(), 6000);
    EXPECT_FALSE(scheduler.slotLoaded(1));

    emit c->DownloadComplete(100, 4000, {}); // cut short
    EXPECT_EQ(list.TaskAt(3)->State, Failed);
    EXPECT_EQ(sounds.played, QList<int>{kSoundFailed});
}

TEST_F(SchedulerTest, WebPageArrivalCorrectsTypePlaysSoundAndSignsIn)
{
    waiting(1);
    scheduler.switches().Sounds = true;
    scheduler.switches().AutoLogin = true;
    now += 5;
    scheduler.ScheduleTick();
    temp.writeFile(u"t0.pdf"_s, "<html ><head><title>Sign in</title></head></html>");
    QSignalSpy status(&scheduler, &DownloadScheduler::statusTextChanged);
    emit transfers.started[0]->DownloadComplete(50, 50, {});
    EXPECT_EQ(list.TaskAt(1)->Type, u"htm"_s);
    EXPECT_EQ(list.TaskAt(1)->State, Completed);
    EXPECT_EQ(sounds.played, QList<int>{kSoundWebPage});
    EXPECT_EQ(login.calls, QList<bool>{true});
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.first().first().toString(), u"完成下载:t0"_s);
}

TEST_F(SchedulerTest, ACitationFileBesideEveryCompletedPaperWhenAsked)
{
    const struct {
        const char* Label;
        bool Asked;
        QByteArray Body;
        bool Whole;
        bool RisExpected;
    } cases[] = {
        {"asked", true, "%PDF-1.4 a whole paper", true, true},
        {"not_asked", false, "%PDF-1.4 a whole paper", true, false},
        {"cut_short", true, "%PDF-1.4 half", false, false},
        {"web_page", true, "<html><head><title>Sign in</title></head></html>", true, false},
    };
    for (const auto& c : cases) {
        ListFixture f;
        f.add({{Waiting}});
        CitedArticle cited;
        cited.Title = u"Total Synthesis of Vinigrol"_s;
        cited.Url = f.list.TaskAt(1)->Url;
        cited.Meta.Doi = u"10.1021/ja0001"_s;
        cited.Meta.Authors = {u"Yang, Q."_s};
        cited.Meta.Year = u"2009"_s;
        f.list.TaskAt(1)->Cited = cited;
        values.CitationBesideFile = c.Asked;
        FakeTransfers t;
        DownloadScheduler s(f.model, values, t, sounds, f.prompts, [] { return 100.0; });
        s.setLastFinishTime(0);
        s.ScheduleTick();
        ASSERT_EQ(t.started.size(), 1) << c.Label;
        f.temp.writeFile(u"t0.pdf"_s, c.Body);
        emit t.started[0]->DownloadComplete(c.Whole ? 50 : 20, 50, {});
        const QString ris = f.list.TaskAt(1)->Folder + f.list.TaskAt(1)->Name + u".ris"_s;
        EXPECT_EQ(QFile::exists(ris), c.RisExpected) << c.Label;
        if (c.RisExpected) {
            QFile file(ris);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            EXPECT_TRUE(text.startsWith("TY  - ")) << c.Label;
            EXPECT_TRUE(text.contains("DO  - 10.1021/ja0001")) << c.Label;
        }
    }
    values.CitationBesideFile = false;
}

TEST_F(SchedulerTest, ErrorFailsTheTaskAndFreesTheSlot)
{
    waiting(1);
    now += 5;
    scheduler.ScheduleTick();
    now = 7000;
    emit transfers.started[0]->DownloadError(u"超时"_s, {});
    EXPECT_EQ(list.TaskAt(1)->State, Failed);
    EXPECT_FALSE(scheduler.slotLoaded(1));
    EXPECT_EQ(scheduler.LastFinishTime(), 7000);
}

TEST_F(SchedulerTest, EventForAVanishedTaskStillFreesTheSlot)
{
    waiting(1);
    now += 5;
    scheduler.ScheduleTick();
    model.changeAll([](DownloadList& l) { l.clear(); }); // cannot happen through the commands; guard anyway
    emit transfers.started[0]->DownloadComplete(10, 10, {});
    EXPECT_FALSE(scheduler.slotLoaded(1));
}

TEST_F(SchedulerTest, StopFailsRunningTasksAndClearsTheAutomaticRules)
{
    waiting(4);
    scheduler.switches().ThreadCount = 2;
    scheduler.switches().AutoStart = true;
    scheduler.switches().AutoRedownload = true;
    scheduler.StartDownloads(); // the first tick runs at once
    EXPECT_EQ(running(), 2);
    QSignalSpy switches(&scheduler, &DownloadScheduler::switchesChanged);
    scheduler.StopDownloads();
    EXPECT_EQ(running(), 0);
    EXPECT_FALSE(scheduler.SchedulerEnabled());
    EXPECT_FALSE(scheduler.TransferBusy());
    EXPECT_FALSE(scheduler.DownloadsActive());
    EXPECT_FALSE(scheduler.switches().AutoStart);
    EXPECT_FALSE(scheduler.switches().AutoRedownload);
    EXPECT_EQ(switches.count(), 1);
    EXPECT_EQ(list.TaskAt(1)->State, Failed);
    EXPECT_EQ(list.TaskAt(3)->State, Waiting);
    EXPECT_TRUE(transfers.started[0]->Cancelled);
}

TEST_F(SchedulerTest, FreedSlotIsRefilledAtOnceWithoutInterval)
{
    waiting(3);
    scheduler.switches().ThreadCount = 1;
    now += 5;
    scheduler.StartDownloads();
    ASSERT_EQ(transfers.started.size(), 1);
    emit transfers.started[0]->DownloadError(u"无法下载"_s, {});
    // Only the events already posted run here; the one-second tick cannot have come.
    QCoreApplication::processEvents();
    EXPECT_EQ(transfers.started.size(), 2);

    scheduler.switches().IntervalSeconds = 5;
    emit transfers.started[1]->DownloadError(u"无法下载"_s, {});
    QCoreApplication::processEvents();
    EXPECT_EQ(transfers.started.size(), 2); // with an interval the tick decides
}

TEST_F(SchedulerTest, HousekeepingRules)
{
    struct Case {
        const char* Label;
        std::vector<Row> Rows;
        std::function<void(SchedulerSwitches&)> Set;
        bool EnabledBefore;
        bool EnabledAfter;
        QList<int> Sounds;
    };
    const Case cases[] = {
        {"settled_stops_with_sound", {{Completed, u"pdf"_s, u"1"_s}}, [](SchedulerSwitches& s) { s.Sounds = true; },
         true, false, {kSoundFinished}},
        {"settled_silent", {{Completed, u"pdf"_s, u"1"_s}}, [](SchedulerSwitches&) {}, true, false, {}},
        {"auto_start_with_untouched", {{Waiting}}, [](SchedulerSwitches& s) { s.AutoStart = true; }, false, true, {}},
        {"settled_and_auto_start_flip_flop", {{Failed}}, [](SchedulerSwitches& s) { s.AutoStart = true; s.Sounds = true; },
         true, true, {kSoundFinished}},
        {"five_failed_stop", {{Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s},
                              {Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s}, {Waiting}},
         [](SchedulerSwitches& s) { s.StopAfterBadResults = true; }, true, false, {}},
        {"three_failed_two_pages_stop", {{Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s},
                                         {Completed, u"htm"_s, u"1"_s}, {Completed, u"HTML"_s, u"1"_s}, {Waiting}},
         [](SchedulerSwitches& s) { s.StopAfterBadResults = true; }, true, false, {}},
        {"four_bad_go_on", {{Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s},
                            {Completed, u"htm"_s, u"1"_s}, {Waiting}},
         [](SchedulerSwitches& s) { s.StopAfterBadResults = true; }, true, true, {}},
        {"auto_start_then_stop_rule_same_tick", {{Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s},
                                                 {Failed, u"pdf"_s, u"1"_s}, {Failed, u"pdf"_s, u"1"_s},
                                                 {Failed, u"pdf"_s, u"1"_s}, {Waiting}},
         [](SchedulerSwitches& s) { s.StopAfterBadResults = true; s.AutoStart = true; }, false, false, {}},
    };
    for (const Case& c : cases) {
        ListFixture f;
        f.add(c.Rows);
        FakeSounds s;
        FakeTransfers t;
        DownloadScheduler sched(f.model, values, t, s, f.prompts, [] { return 100.0; });
        c.Set(sched.switches());
        if (c.EnabledBefore) {
            sched.switches().IntervalSeconds = 100000; // enabled, but starting nothing
            sched.StartDownloads();
        }
        sched.HousekeepingTick();
        EXPECT_EQ(sched.SchedulerEnabled(), c.EnabledAfter) << c.Label;
        EXPECT_EQ(s.played, c.Sounds) << c.Label;
    }
}

TEST_F(SchedulerTest, AutomaticRedownloadByChoice)
{
    const std::pair<int, std::vector<TaskState>> cases[] = {
        {0, {Waiting, Completed}},
        {1, {Failed, Waiting}},
        {2, {Waiting, Waiting}},
    };
    for (const auto& [choice, expected] : cases) {
        ListFixture f;
        f.add({{Failed, u"pdf"_s, u"1"_s}, {Completed, u"htm"_s, u"1"_s}});
        FakeTransfers t;
        DownloadScheduler s(f.model, values, t, sounds, f.prompts, [] { return 100.0; });
        s.switches().AutoRedownload = true;
        s.switches().RedownloadChoice = choice;
        s.HousekeepingTick();
        EXPECT_EQ(f.list.TaskAt(1)->State, expected[0]) << choice;
        EXPECT_EQ(f.list.TaskAt(2)->State, expected[1]) << choice;
        EXPECT_TRUE(s.SchedulerEnabled()) << choice;
    }
}

TEST_F(SchedulerTest, CountersAndTheBusyFlag)
{
    add({{Waiting}, {Completed}, {Failed}});
    QSignalSpy counters(&scheduler, &DownloadScheduler::statusCountersChanged);
    scheduler.HousekeepingTick();
    ASSERT_FALSE(counters.isEmpty());
    EXPECT_EQ(counters.last().first().toString(), u"总数:3 正在下载:0 等待:1 已完成:1 失败:1"_s);

    now += 5;
    scheduler.StartDownloads();
    scheduler.HousekeepingTick();
    EXPECT_TRUE(scheduler.TransferBusy());
    scheduler.StopDownloads();
    scheduler.HousekeepingTick();
    EXPECT_FALSE(scheduler.TransferBusy());
}

TEST_F(SchedulerTest, EmptyListSwitchesTheSchedulerOff)
{
    scheduler.StartDownloads();
    EXPECT_FALSE(scheduler.SchedulerEnabled());
}

TEST_F(SchedulerTest, ToggleMethod)
{
    EXPECT_EQ(scheduler.methodLabelText(), u"下载方式：2"_s);
    scheduler.ToggleDownloadMethod();
    EXPECT_EQ(values.DownloadMethod, 1);
    EXPECT_EQ(scheduler.methodLabelText(), u"下载方式：1"_s);
    EXPECT_FALSE(scheduler.threadCountEnabled());
    EXPECT_EQ(scheduler.switches().ThreadCount, 1);
    scheduler.ToggleDownloadMethod();
    EXPECT_EQ(scheduler.methodLabelText(), u"下载方式：2"_s);
    EXPECT_TRUE(scheduler.threadCountEnabled());
    EXPECT_EQ(scheduler.switches().ThreadCount, 1);
}

// The single-transfer method's transfer asks for its file once the headers
// are in; the scheduler answers under the duplicate policy.
class HeadersStepTest : public SchedulerTest {
protected:
    HeadersStepTest()
    {
        values.DownloadMethod = 1;
        scheduler.setSingleTransferFactory(&transfers);
    }

    FakeTransfer* startOne()
    {
        now += 5;
        scheduler.ScheduleTick();
        return transfers.started.isEmpty() ? nullptr : transfers.started.last().data();
    }

    static TransferHeaders headers(qint64 size, const QString& type)
    {
        TransferHeaders h;
        h.AnnouncedSize = size;
        h.ContentType = type;
        return h;
    }
};

TEST_F(HeadersStepTest, FileIsChosenAfterTheHeadersUnderTheRenamePolicy)
{
    waiting(1);
    temp.writeFile(u"t0.html"_s, "an earlier page");
    QSignalSpy status(&scheduler, &DownloadScheduler::statusTextChanged);
    FakeTransfer* t = startOne();
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->SaveFile.isEmpty()); // not chosen before the headers say what arrives
    EXPECT_EQ(t->Referer, list.TaskAt(1)->Referer);
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.first().first().toString(), u"正在下载:t0"_s);
    EXPECT_TRUE(scheduler.TransferBusy());

    emit t->HeadersReceived(headers(5000, u"text/html; charset=utf-8"_s));
    const DownloadTask& task = *list.TaskAt(1);
    EXPECT_EQ(task.Type, u"html"_s);
    EXPECT_EQ(task.Name, u"t0[001]"_s);
    EXPECT_EQ(t->SavedInto, temp.path() + u"/t0[001].html"_s);
    EXPECT_EQ(task.Size, u"5000"_s);
    EXPECT_EQ(task.Received, u"0"_s);

    emit t->DownloadProgress(2500, 5000, t->SavedInto);
    EXPECT_EQ(task.Progress, u"50%"_s);
    emit t->DownloadComplete(5000, 5000, t->SavedInto);
    EXPECT_EQ(task.State, Completed);
    EXPECT_EQ(task.Outcome, TaskOutcome::Completed);
    EXPECT_FALSE(scheduler.TransferBusy()); // one transfer at a time: free again at once
}

TEST_F(HeadersStepTest, OutcomesDecidedAtTheHeaders)
{
    struct Case {
        const char* Label;
        qint64 Size;
        QString Folder;
        TaskState State;
        QString Progress;
        QString SizeText;
    };
    const Case cases[] = {
        {"over_the_limit", static_cast<qint64>(10.5 * 1024 * 1024), {}, Completed, u"大文件，跳过"_s,
         QString::number(static_cast<qint64>(10.5 * 1024 * 1024))},
        {"without_length", 0, {}, Downloading, u""_s, u"未知"_s},
        // A file no one may delete, root included.
        {"cannot_replace", 500, u"/proc"_s, Failed, u"无法替换"_s, QString::number(QFileInfo(u"/proc/version"_s).size())},
    };
    for (const Case& c : cases) {
        ListFixture f;
        f.add({{Waiting}});
        if (!c.Folder.isEmpty()) {
            f.list.TaskAt(1)->Folder = c.Folder;
            f.list.TaskAt(1)->Name = u"version"_s;
            f.list.TaskAt(1)->Type.clear();
        }
        FakeTransfers t;
        DownloadScheduler s(f.model, values, t, sounds, f.prompts, [] { return 100.0; });
        s.setSingleTransferFactory(&t);
        s.switches().Policy = DuplicatePolicy::Overwrite;
        s.setLastFinishTime(0);
        s.ScheduleTick();
        ASSERT_EQ(t.started.size(), 1) << c.Label;
        emit t.started[0]->HeadersReceived(headers(c.Size, u"application/octet-stream"_s));
        const DownloadTask& task = *f.list.TaskAt(1);
        EXPECT_EQ(task.State, c.State) << c.Label;
        EXPECT_EQ(task.Progress, c.Progress) << c.Label;
        EXPECT_EQ(task.Size, c.SizeText) << c.Label;
        const bool ended = c.State != Downloading;
        EXPECT_EQ(t.started[0]->Cancelled, ended) << c.Label;
        EXPECT_EQ(t.started[0]->SavedInto.isEmpty(), ended) << c.Label;
        EXPECT_EQ(s.slotLoaded(1), !ended) << c.Label;
    }
}

TEST_F(HeadersStepTest, StopShowsCancelledOnlyOnceTheBodyWasOnItsWay)
{
    waiting(2);
    FakeTransfer* first = startOne();
    emit first->HeadersReceived(headers(5000, u"application/pdf"_s));
    scheduler.StopDownloads();
    EXPECT_EQ(list.TaskAt(1)->State, Failed);
    EXPECT_EQ(list.TaskAt(1)->Progress, u"下载取消"_s);
    EXPECT_TRUE(first->Cancelled);

    FakeTransfer* second = startOne();
    ASSERT_NE(second, first);
    scheduler.StopDownloads(); // still waiting for its headers
    EXPECT_EQ(list.TaskAt(2)->State, Failed);
    EXPECT_EQ(list.TaskAt(2)->Progress, u""_s);
}

TEST_F(SchedulerTest, FastProgressRepaintsItsRowAFewTimesAndTheEndAtOnce)
{
    waiting(2);
    scheduler.switches().ThreadCount = 2;
    now += 5;
    scheduler.ScheduleTick();
    int repaints = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&] { ++repaints; });
    for (qint64 read = 1; read <= 5000; ++read) {
        emit transfers.started[0]->DownloadProgress(read, 10000, {});
        emit transfers.started[1]->DownloadProgress(read, 10000, {});
    }
    EXPECT_EQ(repaints, 0); // batched, not one per report
    EXPECT_EQ(list.TaskAt(1)->Received, u"5000"_s); // the task itself is always current
    ASSERT_TRUE(QTest::qWaitFor([&] { return repaints > 0; }, 1000));
    EXPECT_EQ(repaints, 1); // both rows in one range

    repaints = 0;
    emit transfers.started[0]->DownloadProgress(6000, 10000, {});
    emit transfers.started[0]->DownloadComplete(10000, 10000, {});
    EXPECT_EQ(repaints, 1); // the end is shown at once...
    QTest::qWait(DownloadTableModel::kProgressRepaintMs * 2);
    EXPECT_EQ(repaints, 1); // ...and the progress before it is not repainted after it
}

} // namespace

namespace {

// The same engine with the browser's transfers: method 3 runs them, and the
// fallback retries a task the site's bot check refused.
class BrowserFallbackTest : public SchedulerTest {
protected:
    BrowserFallbackTest()
    {
        scheduler.setBrowserTransferFactories(&browser, &retries);
        scheduler.switches().AutoLogin = true;
        scheduler.switches().Sounds = true;
    }

    static void refuse(FakeTransfer* transfer) { emit transfer->DownloadError(u"网页验证"_s, transfer->SaveFile); }

    FakeTransfers browser;
    FakeTransfers retries;
};

TEST_F(BrowserFallbackTest, ARefusedTaskGoesToTheBrowserOnceAndAFailedCheckIsNoWebPage)
{
    struct Case {
        const char* Label;
        bool Fallback;
        int Retries; // browser retries started
    };
    const Case cases[] = {{"fallback on", true, 1}, {"fallback off", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        list.clear();
        transfers.started.clear();
        retries.started.clear();
        values.BrowserFallback = c.Fallback;
        add({{Waiting}});
        list.TaskAt(1)->Referer = u"https://host/doi/abs/1"_s;
        scheduler.StartDownloads();
        ASSERT_EQ(transfers.started.size(), 1);
        const QString savedTo = transfers.started[0]->SaveFile;
        refuse(transfers.started[0]);
        ASSERT_EQ(retries.started.size(), c.Retries);
        if (c.Retries == 1) {
            // The same slot, file and result page; still under way.
            EXPECT_TRUE(scheduler.slotLoaded(1));
            EXPECT_EQ(list.TaskAt(1)->State, Downloading);
            EXPECT_EQ(retries.started[0]->SaveFile, savedTo);
            EXPECT_EQ(retries.started[0]->Referer, u"https://host/doi/abs/1"_s);
            refuse(retries.started[0]); // the browser did not get past it either
        }
        EXPECT_EQ(retries.started.size(), c.Retries); // nothing goes back and forth
        EXPECT_FALSE(scheduler.slotLoaded(1));
        EXPECT_EQ(list.TaskAt(1)->State, Failed);
        EXPECT_EQ(list.TaskAt(1)->Progress, u"网页验证未通过"_s);
        EXPECT_EQ(list.TaskAt(1)->Type, u"pdf"_s);
        EXPECT_TRUE(login.calls.isEmpty());
        EXPECT_FALSE(sounds.played.contains(kSoundWebPage));
        EXPECT_TRUE(browser.started.isEmpty());
        scheduler.StopDownloads();
    }
}

TEST_F(BrowserFallbackTest, OneRetryPerTaskAndStart)
{
    add({{Waiting}});
    scheduler.StartDownloads();
    refuse(transfers.started[0]);
    refuse(retries.started[0]);
    // Queued again in the same start: the parallel method only.
    list.SetState(1, TaskState::Waiting);
    scheduler.ScheduleTick();
    ASSERT_EQ(transfers.started.size(), 2);
    refuse(transfers.started[1]);
    EXPECT_EQ(retries.started.size(), 1);
    EXPECT_EQ(list.TaskAt(1)->State, Failed);
    // A new start may try the browser again.
    list.SetState(1, TaskState::Waiting);
    scheduler.StartDownloads();
    ASSERT_EQ(transfers.started.size(), 3);
    refuse(transfers.started[2]);
    EXPECT_EQ(retries.started.size(), 2);
}

TEST_F(BrowserFallbackTest, TheBrowsersMethodRunsItsTasksInSlotsWithTheBrowserAlone)
{
    values.DownloadMethod = 3;
    scheduler.optionsChanged(2);
    EXPECT_EQ(scheduler.methodLabelText(), u"下载方式：3"_s);
    EXPECT_TRUE(scheduler.threadCountEnabled());
    scheduler.switches().ThreadCount = 2;
    waiting(3);
    scheduler.StartDownloads();
    EXPECT_EQ(browser.started.size(), 2);
    EXPECT_TRUE(transfers.started.isEmpty());
    // A refusal in the browser itself is final.
    refuse(browser.started[0]);
    EXPECT_EQ(list.TaskAt(1)->Progress, u"网页验证未通过"_s);
    EXPECT_TRUE(retries.started.isEmpty());
    // The toggle goes to the single transfer, as from the parallel method.
    scheduler.ToggleDownloadMethod();
    EXPECT_EQ(scheduler.DownloadMethod(), 1);
}


TEST_F(SchedulerTest, ATaskThatEndsWithoutItsFileLeavesNothingUnderItsName)
{
    const qint64 large = 11LL * 1024 * 1024;
    const struct {
        const char* Label;
        QByteArray Before;  // the target's content before the start; empty: no file
        QByteArray Body;    // what the transfer put there before its end; empty: nothing
        std::function<void(DownloadScheduler&, FakeTransfer&)> End;
        QByteArray After;   // empty: no file
    } cases[] = {
        {"too_large", {}, {}, [&](DownloadScheduler&, FakeTransfer& t) { emit t.DownloadProgress(0, large, {}); }, {}},
        {"failed", {}, {}, [](DownloadScheduler&, FakeTransfer& t) { emit t.DownloadError(u"无法下载"_s, {}); }, {}},
        {"stopped", {}, {}, [](DownloadScheduler& s, FakeTransfer&) { s.StopDownloads(); }, {}},
        {"cut_short", {}, {}, [](DownloadScheduler&, FakeTransfer& t) { emit t.DownloadComplete(100, 200, {}); }, {}},
        {"whole", {}, "%PDF-", [](DownloadScheduler&, FakeTransfer& t) { emit t.DownloadComplete(5, 5, {}); },
         "%PDF-"},
        // Never a body, and never a file that was there before.
        {"failed_after_a_body", {}, "%PDF-1", [](DownloadScheduler&, FakeTransfer& t) {
             emit t.DownloadError(u"超时"_s, {}); }, "%PDF-1"},
        {"overwrite_failed", "old paper", {}, [](DownloadScheduler&, FakeTransfer& t) {
             emit t.DownloadError(u"无法下载"_s, {}); }, "old paper"},
        // What an earlier version left of a killed run goes before the first start.
        {"left_claim_too_large", QByteArray("\x01\x00", 2), {}, [&](DownloadScheduler&, FakeTransfer& t) {
             emit t.DownloadProgress(0, large, {}); }, {}},
    };
    for (const auto& c : cases) {
        ListFixture f;
        f.add({{Waiting}});
        const QString target = f.temp.filePath(u"t0.pdf"_s);
        if (!c.Before.isEmpty())
            f.temp.writeFile(u"t0.pdf"_s, c.Before);
        FakeTransfers t;
        DownloadScheduler s(f.model, values, t, sounds, f.prompts, [&] { return now; });
        s.switches().Policy = DuplicatePolicy::Overwrite;
        s.ScheduleTick();
        ASSERT_EQ(t.started.size(), 1) << c.Label;
        // Nothing new under the name before a body is whole.
        EXPECT_EQ(QFile::exists(target), !c.Before.isEmpty() && c.Before.size() != 2) << c.Label;
        if (!c.Body.isEmpty())
            f.temp.writeFile(u"t0.pdf"_s, c.Body);
        c.End(s, *t.started.front());
        EXPECT_FALSE(s.slotLoaded(1)) << c.Label;
        QFile file(target);
        if (c.After.isEmpty()) {
            EXPECT_FALSE(file.exists()) << c.Label;
        } else {
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.Label;
            EXPECT_EQ(file.readAll(), c.After) << c.Label;
        }
    }
}

} // namespace
