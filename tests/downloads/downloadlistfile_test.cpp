#include "downloads/list/downloadlistfile.h"
#include "downloads/list/downloadtablemodel.h"

#include "core/listfile.h"
#include "support/recordingprompts.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Tasks in every state and outcome, with texts that are easy to mix up:
// non-ASCII letters, empty and unusual fields, byte counts past 4 GB.
DownloadList variedList()
{
    DownloadList list;
    const TaskState states[] = {TaskState::Waiting, TaskState::Downloading, TaskState::Completed, TaskState::Failed};
    // Every outcome up to the last one a list may hold.
    const int outcomeCount = static_cast<int>(kLastTaskOutcome) + 1;
    for (int i = 0; i < 14; ++i) {
        const QString url = u"https://pubs.example.org/doi/pdf/10.1021/ja%1"_s.arg(i);
        list.AddTask(url, u"苯环 «Ring» %1"_s.arg(i), i % 3 == 0 ? QString() : u"pdf"_s, u"/home/研究/文献/"_s,
                     i % 2 == 0 ? u"https://pubs.example.org/toc/jacsat/146/1"_s : QString());
        DownloadTask& task = *list.TaskAt(i + 1);
        task.State = states[i % 4];
        task.Outcome = static_cast<TaskOutcome>(i % outcomeCount);
        task.SizeBytes = i % 5 == 0 ? -1 : 5'000'000'000LL + i;
        task.ReceivedBytes = i % 5 == 0 ? -1 : 1'000LL * i;
        task.Size = i % 5 == 0 ? u"未知"_s : QString::number(task.SizeBytes);
        task.Received = QString::number(task.ReceivedBytes);
        task.Progress = i % 7 == 2 ? u"大文件，跳过"_s : u"%1%"_s.arg(i);
        task.ColumnB = i == 3 ? u"\t\n\"'"_s : QString();
        task.Selected = i % 3 == 1;
        if (i % 4 == 1) {
            CitedArticle& cited = task.Cited.emplace();
            cited.Title = u"Ring «closure» {%1}"_s.arg(i);
            cited.Url = url;
            cited.Meta.Authors = {u"Zoë Müller"_s, u"李 华"_s};
            cited.Meta.Doi = u"10.1021/ja%1"_s.arg(i);
            cited.Meta.OpenAccess = i == 5;
        }
    }
    return list;
}

TEST(DownloadListFile, EveryFieldComesBackAndDownloadingTasksWait)
{
    const DownloadList list = variedList();
    const std::optional<DownloadList> back = downloadlistfile::Decode(downloadlistfile::Encode(list));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->count(), list.count());
    for (int p = 1; p <= list.count(); ++p) {
        DownloadTask expected = *list.TaskAt(p);
        if (expected.State == TaskState::Downloading)
            expected.State = TaskState::Waiting; // no transfer outlives the program
        EXPECT_EQ(*back->TaskAt(p), expected) << p;
    }
    // The address index is rebuilt: lookups and the duplicate rule still work.
    EXPECT_EQ(back->positionOfUrl(u"https://pubs.example.org/doi/pdf/10.1021/ja7"_s), 8);
    EXPECT_EQ(back->CountByState().Downloading, 0);
    EXPECT_EQ(downloadlistfile::Decode(downloadlistfile::Encode(DownloadList()))->count(), 0);
}

TEST(DownloadListFile, AHostsWaitEndsWithTheRunThatKeptIt)
{
    DownloadList list;
    list.AddTask(u"https://pubs.example.org/doi/pdf/1"_s, u"n"_s, u"pdf"_s, u"/tmp/"_s, {});
    DownloadTask& task = *list.TaskAt(1);
    SetTaskOutcome(task, TaskOutcome::WaitingForHost);
    task.Progress = HostWaitText(12);
    ASSERT_EQ(task.Progress, u"等待 12 秒"_s);
    const std::optional<DownloadList> back = downloadlistfile::Decode(downloadlistfile::Encode(list));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->TaskAt(1)->State, TaskState::Waiting);
    EXPECT_TRUE(IsUntouched(*back->TaskAt(1))) << back->TaskAt(1)->Progress.toStdString();
    EXPECT_EQ(back->TaskAt(1)->Outcome, TaskOutcome::None);
}

TEST(DownloadListFile, DamagedContentsAreRefusedWhole)
{
    const QByteArray good = downloadlistfile::Encode(variedList());
    QByteArray badState = downloadlistfile::Encode([] {
        DownloadList one;
        one.AddTask(u"u"_s, u"n"_s, {}, {}, {});
        return one;
    }());
    // After the state: the selection flag, two 8-byte counts, the outcome and the citation flag.
    badState[badState.size() - 1 - 4 - 8 - 8 - 1 - 4] = 9;
    QByteArray twice = downloadlistfile::Encode([] {
        DownloadList two;
        two.AddTask(u"a"_s, u"n"_s, {}, {}, {});
        two.AddTask(u"b"_s, u"n"_s, {}, {}, {});
        return two;
    }());
    twice.replace(QByteArray("b\0", 2), QByteArray("a\0", 2)); // both tasks now share one address

    EXPECT_FALSE(downloadlistfile::Decode(good.chopped(3)));
    EXPECT_FALSE(downloadlistfile::Decode(good + "x"));
    EXPECT_FALSE(downloadlistfile::Decode(badState));
    EXPECT_FALSE(downloadlistfile::Decode(twice));
    EXPECT_FALSE(downloadlistfile::Decode(good, downloadlistfile::kFormat + 1));
    QByteArray hugeCount = good;
    hugeCount.replace(0, 8, QByteArray(8, '\x7f'));
    EXPECT_FALSE(downloadlistfile::Decode(hugeCount));
}

TEST(DownloadListFile, RestoreFillsTheModelInOneResetOrStartsEmptyWithTheFileKept)
{
    TempFolder temp;
    const QString path = temp.filePath(u"downloads.dat"_s);
    ASSERT_TRUE(downloadlistfile::Save(path, variedList()));

    DownloadList list;
    DownloadTableModel model(list);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    RecordingPrompts prompts;
    EXPECT_TRUE(downloadlistfile::Restore(path, model, prompts));
    EXPECT_EQ(list.count(), 14);
    EXPECT_EQ(model.rowCount(), 14);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_TRUE(prompts.shown.isEmpty());

    // Cut short, as by a full disk under a program that did not write atomically.
    QFile::resize(path, QFileInfo(path).size() / 2);
    DownloadList second;
    DownloadTableModel secondModel(second);
    EXPECT_TRUE(downloadlistfile::Restore(path, secondModel, prompts));
    EXPECT_EQ(second.count(), 0);
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages()[0].contains(u"下载列表"_s));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QDir(temp.path()).entryList({u"downloads.dat.damaged-*"_s}).size(), 1);
}

} // namespace
