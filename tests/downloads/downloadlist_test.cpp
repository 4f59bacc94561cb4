#include "downloads/list/downloadlist.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A list built from a compact description: one task per entry.
struct Row {
    TaskState State;
    QString Type = u"pdf"_s;
    QString Size{};
    QString Received{};
    QString Progress{};
};

DownloadList listOf(const std::vector<Row>& rows)
{
    DownloadList list;
    for (size_t i = 0; i < rows.size(); ++i) {
        const QString url = u"https://host/doi/pdf/"_s + QString::number(i);
        list.AddTask(url, u"n"_s + QString::number(i), rows[i].Type, u"/tmp/"_s, {});
        DownloadTask* task = list.TaskAt(static_cast<int>(i) + 1);
        task->State = rows[i].State;
        task->Size = rows[i].Size;
        task->Received = rows[i].Received;
        task->Progress = rows[i].Progress;
    }
    return list;
}

constexpr auto W = TaskState::Waiting;
constexpr auto D = TaskState::Downloading;
constexpr auto C = TaskState::Completed;
constexpr auto F = TaskState::Failed;

TEST(DownloadList, AddKeepsUrlsUniqueAndStartsWaiting)
{
    DownloadList list;
    EXPECT_TRUE(list.AddTask(u"https://a/1"_s, u"one"_s, u"pdf"_s, u"/p/"_s, u"https://a/page"_s));
    EXPECT_FALSE(list.AddTask(u"https://a/1"_s, u"other"_s, u"htm"_s, u"/q/"_s, {}));
    ASSERT_EQ(list.count(), 1);
    const DownloadTask* task = list.TaskAt(1);
    EXPECT_EQ(task->Name, u"one"_s);
    EXPECT_EQ(task->Referer, u"https://a/page"_s);
    EXPECT_EQ(task->State, TaskState::Waiting);
    EXPECT_TRUE(IsUntouched(*task));
    EXPECT_EQ(list.TaskAt(0), nullptr);
    EXPECT_EQ(list.TaskAt(2), nullptr);
    EXPECT_EQ(list.positionOfUrl(u"https://a/1"_s), 1);
    EXPECT_EQ(list.positionOfUrl(u"https://a/2"_s), 0);
}

TEST(DownloadList, TaskFilePath)
{
    DownloadTask task;
    task.Folder = u"/p/"_s;
    task.Name = u"paper"_s;
    task.Type = u"pdf"_s;
    EXPECT_EQ(TaskFilePath(task), u"/p/paper.pdf"_s);
    task.Type.clear();
    EXPECT_EQ(TaskFilePath(task), u"/p/paper"_s);
}

TEST(DownloadList, Queries)
{
    struct Case {
        const char* Name;
        std::vector<Row> Rows;
        int Untouched;
        bool Settled;
        int Bad;
    };
    const Case cases[] = {
        {"empty", {}, 0, true, 0},
        {"waiting_untouched", {{W}, {W, u"pdf"_s, u"等待重新下载"_s}}, 1, false, 0},
        {"cancelled_while_waiting_counts_untouched", {{F}}, 1, true, 1},
        {"web_pages_any_case_count_once", {{C, u"HTML"_s, u"5"_s}, {F, u"Htm"_s, u"5"_s}, {C, u"xml"_s, u"5"_s}},
         0, true, 2},
        {"downloading_not_settled", {{C, u"pdf"_s, u"1"_s}, {D, u"pdf"_s, u"1"_s}}, 0, false, 0},
    };
    for (const Case& c : cases) {
        const DownloadList list = listOf(c.Rows);
        EXPECT_EQ(list.CountUntouchedTasks(), c.Untouched) << c.Name;
        EXPECT_EQ(list.AllTasksSettled(), c.Settled) << c.Name;
        EXPECT_EQ(list.CountBadResults(), c.Bad) << c.Name;
    }
}

TEST(DownloadList, StatusText)
{
    EXPECT_EQ(StatusCountersText(DownloadList().CountByState()), u"总数:0 正在下载:0 等待:0 已完成:0 失败:0"_s);
    const DownloadList list = listOf({{D}, {D}, {W}, {W}, {W}, {W}, {W}, {C}, {C}, {F}});
    EXPECT_EQ(StatusCountersText(list.CountByState()), u"总数:10 正在下载:2 等待:5 已完成:2 失败:1"_s);
}

TEST(DownloadList, StateAndProgressEdits)
{
    DownloadList list = listOf({{D, u"pdf"_s, u"100"_s, u"50"_s, u"50%"_s}});
    list.SetState(1, TaskState::Failed);
    list.ClearProgress(1);
    list.SetState(7, TaskState::Completed); // no such task: nothing happens
    EXPECT_EQ(list.TaskAt(1)->State, TaskState::Failed);
    EXPECT_TRUE(IsUntouched(*list.TaskAt(1)));
}

TEST(DownloadList, RemoveKeepsOrderAndTheUrlIndex)
{
    DownloadList list = listOf({{F}, {F}, {C}, {F}, {W}});
    EXPECT_EQ(list.removeIf([](const DownloadTask& t) { return t.State == TaskState::Failed; }), 3);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.TaskAt(1)->Name, u"n2"_s);
    EXPECT_EQ(list.TaskAt(2)->Name, u"n4"_s);
    EXPECT_EQ(list.positionOfUrl(u"https://host/doi/pdf/4"_s), 2);
    EXPECT_EQ(list.positionOfUrl(u"https://host/doi/pdf/0"_s), 0);
    // A removed address can be added again.
    EXPECT_TRUE(list.AddTask(u"https://host/doi/pdf/0"_s, u"again"_s, {}, {}, {}));
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.positionOfUrl(u"https://host/doi/pdf/0"_s), 0);
}

TEST(DownloadList, SetUrlRefusesATakenAddress)
{
    DownloadList list = listOf({{W}, {W}});
    EXPECT_FALSE(list.setUrl(1, u"https://host/doi/pdf/1"_s));
    EXPECT_TRUE(list.setUrl(1, u"https://mirror/1"_s));
    EXPECT_EQ(list.positionOfUrl(u"https://mirror/1"_s), 1);
    EXPECT_EQ(list.positionOfUrl(u"https://host/doi/pdf/0"_s), 0);
    EXPECT_FALSE(list.setUrl(3, u"https://x"_s));
}

} // namespace
