#include "listfixture.h"

#include "downloads/list/listordering.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class OrderingTest : public ::testing::Test, public ListFixture {
protected:
    DownloadListOrdering ordering{model, activity, prompts, 12345};

    QStringList column(int field) const
    {
        QStringList out;
        for (const DownloadTask& t : list.tasks()) {
            switch (field) {
            case DownloadTableModel::Size: out.append(t.Size); break;
            case DownloadTableModel::Progress: out.append(t.Progress); break;
            default: out.append(t.Name);
            }
        }
        return out;
    }
};

TEST_F(OrderingTest, SizeSortsNumericallyAndKeepsEveryText)
{
    add({{Completed, u"pdf"_s, u"100"_s}, {Completed, u"pdf"_s, u"9"_s}, {Completed, u"pdf"_s, u"未知"_s},
         {Completed, u"pdf"_s, u"10"_s}, {Completed, u"pdf"_s, u""_s}, {Completed, u"pdf"_s, u"1,000"_s}});
    ordering.SortTasksByColumn(3); // first click: descending
    EXPECT_TRUE(ordering.sortDescending());
    EXPECT_EQ(column(DownloadTableModel::Size),
              (QStringList{u"未知"_s, u"1,000"_s, u"100"_s, u"10"_s, u"9"_s, u""_s}));
    ordering.SortTasksByColumn(3);
    EXPECT_EQ(column(DownloadTableModel::Size),
              (QStringList{u""_s, u"9"_s, u"10"_s, u"100"_s, u"1,000"_s, u"未知"_s}));
}

TEST_F(OrderingTest, ProgressSortsByNumberAndKeepsOutcomeTexts)
{
    add({{Completed, u"pdf"_s, {}, {}, u"37%"_s}, {Completed, u"pdf"_s, {}, {}, u"已存在，跳过"_s},
         {Completed, u"pdf"_s, {}, {}, u"100%"_s}, {Completed, u"pdf"_s, {}, {}, u"9%"_s}});
    ordering.SortTasksByColumn(5);
    const QStringList sorted = column(DownloadTableModel::Progress);
    EXPECT_LT(sorted.indexOf(u"100%"_s), sorted.indexOf(u"37%"_s));
    EXPECT_LT(sorted.indexOf(u"37%"_s), sorted.indexOf(u"9%"_s));
    EXPECT_TRUE(sorted.contains(u"已存在，跳过"_s));
}

TEST_F(OrderingTest, DirectionFlipsOnEveryHeaderClick)
{
    add({{Waiting}, {Waiting}, {Waiting}});
    list.TaskAt(1)->Name = u"b"_s;
    list.TaskAt(2)->Name = u"c"_s;
    list.TaskAt(3)->Name = u"a"_s;
    ordering.SortTasksByColumn(1);
    EXPECT_EQ(names(), (QStringList{u"c"_s, u"b"_s, u"a"_s}));
    ordering.SortTasksByColumn(1);
    EXPECT_EQ(names(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    ordering.SortTasksByColumn(2); // another column flips too
    EXPECT_TRUE(ordering.sortDescending());
    EXPECT_EQ(ordering.sortColumn(), 2);
}

TEST_F(OrderingTest, SortRefusedWhileSchedulerRunsOrTransferBusy)
{
    add({{Waiting}, {Waiting}});
    list.TaskAt(1)->Name = u"a"_s;
    list.TaskAt(2)->Name = u"b"_s;
    for (const auto& [scheduler, busy] : {std::pair{true, false}, std::pair{false, true}}) {
        activity.schedulerOn = scheduler;
        activity.busy = busy;
        ordering.SortTasksByColumn(1);
        EXPECT_EQ(names(), (QStringList{u"a"_s, u"b"_s}));
        EXPECT_FALSE(ordering.sortDescending());
        EXPECT_EQ(ordering.sortColumn(), 0);
    }
    EXPECT_EQ(prompts.messages(), QStringList(2, u"停止下载后方可排序！"_s));
}

TEST_F(OrderingTest, SortKeysAsTheZeroFillingMakesThem)
{
    const std::pair<QString, QString> cases[] = {
        {u"12345"_s, u"000000012345"_s},
        {u" 12,345 "_s, u"000000012345"_s},
        {u"12.6"_s, u"000000000013"_s},
        {u"-5"_s, u"-000000000005"_s},
        {u"未知"_s, u"未知"_s},
        {u""_s, u""_s},
        {u"1e400"_s, u"1e400"_s},
    };
    for (const auto& [value, key] : cases)
        EXPECT_EQ(DownloadListOrdering::numericSortKey(value), key) << value.toStdString();
}

TEST_F(OrderingTest, ShuffleIsAPermutationWithFieldsIntactAndNoSelection)
{
    add({{Waiting, u"pdf"_s, {}, {}, {}, false, true}, {Completed, u"htm"_s, u"5"_s, u"5"_s, u"100%"_s},
         {Failed, u"caj"_s, u"7"_s, u"3"_s, u"42%"_s, false, true}});
    list.TaskAt(2)->Referer = u"https://host/page"_s;
    const std::vector<DownloadTask> before = list.tasks();
    ordering.ShuffleTasks();
    EXPECT_EQ(prompts.messages(), QStringList{u"随机排序完成！"_s});
    ASSERT_EQ(list.count(), 3);
    for (const DownloadTask& old : before) {
        const DownloadTask* now = list.TaskAt(list.positionOfUrl(old.Url));
        ASSERT_NE(now, nullptr);
        EXPECT_EQ(now->Name, old.Name);
        EXPECT_EQ(now->Type, old.Type);
        EXPECT_EQ(now->Size, old.Size);
        EXPECT_EQ(now->Progress, old.Progress);
        EXPECT_EQ(now->Referer, old.Referer);
        EXPECT_EQ(now->State, old.State);
        EXPECT_FALSE(now->Selected);
    }
}

TEST_F(OrderingTest, ShuffleReachesEveryOrderAndIsRefusedWhileActive)
{
    add({{Waiting}, {Waiting}, {Waiting}});
    QSet<QString> orders;
    for (int i = 0; i < 200; ++i) {
        ordering.ShuffleTasks();
        orders.insert(names().join(u','));
    }
    EXPECT_EQ(orders.size(), 6);

    activity.active = true;
    const QStringList before = names();
    ordering.ShuffleTasks();
    EXPECT_EQ(names(), before);
    EXPECT_EQ(prompts.messages().back(), u"停止下载以后，才能执行此操作！"_s);
}

TEST_F(OrderingTest, ShuffleMovesAtMostTenThousand)
{
    std::vector<Row> rows(10050);
    add(rows);
    ordering.ShuffleTasks();
    // The 50 tasks never drawn stay on top in their own order.
    QStringList top = names().mid(0, 50);
    QStringList sortedTop = top;
    std::sort(sortedTop.begin(), sortedTop.end(), [](const QString& a, const QString& b) {
        return a.mid(1).toInt() < b.mid(1).toInt();
    });
    EXPECT_EQ(top, sortedTop);
    EXPECT_EQ(list.count(), 10050);
}

TEST_F(OrderingTest, EmptyListShuffleStillReports)
{
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    ordering.ShuffleTasks();
    EXPECT_EQ(prompts.messages(), QStringList{u"随机排序完成！"_s});
    EXPECT_EQ(resets.count(), 1);
}

} // namespace
