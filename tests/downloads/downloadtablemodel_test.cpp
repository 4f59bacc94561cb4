#include "listfixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class ModelTest : public ::testing::Test, public ListFixture {
protected:
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(ModelTest, ColumnsHeadersAndRoles)
{
    add({{Downloading, u"pdf"_s, u"2048"_s, u"1024"_s, u"50%"_s}});
    const QStringList headers = {u"名称"_s, u"类型"_s, u"文件大小"_s, u"已下载数"_s, u"百分比"_s, u"保存路径"_s, u"B"_s};
    ASSERT_EQ(model.columnCount(), headers.size());
    for (int c = 0; c < headers.size(); ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);

    const auto at = [&](int column, int role = Qt::DisplayRole) { return model.data(model.index(0, column), role); };
    EXPECT_EQ(at(DownloadTableModel::Name).toString(), u"t0"_s);
    EXPECT_EQ(at(DownloadTableModel::Size).toString(), u"2048"_s);
    EXPECT_EQ(at(DownloadTableModel::Progress).toString(), u"50%"_s);
    EXPECT_EQ(at(DownloadTableModel::Folder).toString(), temp.path() + u'/');
    EXPECT_EQ(at(DownloadTableModel::Name, Qt::DecorationRole).toInt(), 2);
    EXPECT_EQ(at(DownloadTableModel::Name, DownloadTableModel::StateRole).toInt(), 2);
    EXPECT_TRUE(at(DownloadTableModel::Size, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    EXPECT_TRUE(at(DownloadTableModel::Name, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(ModelTest, AddIsOneInsertedRowAndDuplicatesAddNothing)
{
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    EXPECT_TRUE(model.AddTask(u"https://a/1"_s, u"one"_s, u"pdf"_s, u"/p/"_s, {}));
    EXPECT_FALSE(model.AddTask(u"https://a/1"_s, u"again"_s, u"pdf"_s, u"/p/"_s, {}));
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(ModelTest, ProgressOfOneTaskChangesOnlyItsRow)
{
    add({{Waiting}, {Downloading}, {Waiting}});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    list.TaskAt(2)->Received = u"100"_s;
    model.taskChanged(2);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex().row(), 1);
    EXPECT_EQ(changed.at(0).at(1).toModelIndex().row(), 1);
    model.taskChanged(9); // no such row: no signal
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(ModelTest, BulkChangeIsOneReset)
{
    add({{Failed}, {Completed}, {Failed}});
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.changeAll([](DownloadList& l) { l.removeIf([](const DownloadTask& t) { return t.State == Failed; }); });
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(model.rowCount(), 1);
}

} // namespace
