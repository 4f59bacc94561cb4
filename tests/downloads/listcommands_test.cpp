#include "listfixture.h"

#include "core/citationreaders.h"
#include "core/legacytext.h"
#include "downloads/list/listcommands.h"
#include "downloads/list/requeue.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class ListCommandsTest : public ::testing::Test, public ListFixture {
protected:
    DownloadListCommands commands{model, activity, prompts, shell};
};

TEST_F(ListCommandsTest, RequeueTurnsWebPagesIntoXxxAndRemovesBothFiles)
{
    add({{Completed, u"HTML"_s, u"10"_s, u"10"_s, u"100%"_s, true}});
    temp.writeFile(u"t0.xxx"_s, "left by an earlier try");
    RequeueTask(*list.TaskAt(1));
    const DownloadTask& t = *list.TaskAt(1);
    EXPECT_EQ(t.State, Waiting);
    EXPECT_EQ(t.Type, u"xxx"_s);
    EXPECT_TRUE(IsUntouched(t));
    EXPECT_FALSE(QFile::exists(temp.filePath(u"t0.HTML"_s)));
    EXPECT_FALSE(QFile::exists(temp.filePath(u"t0.xxx"_s)));
}

TEST_F(ListCommandsTest, RedownloadCommandsPickTheirTasks)
{
    using Command = void (DownloadListCommands::*)();
    struct Case {
        const char* Label;
        Command Run;
        std::vector<QString> Expected; // types after the command; "W" marks re-queued
    };
    // Rows: failed pdf, completed htm, completed xml, waiting htm, downloading pdf,
    // selected completed pdf, failed html.
    const std::vector<Row> rows = {
        {Failed, u"pdf"_s, u"5"_s},
        {Completed, u"htm"_s, u"5"_s},
        {Completed, u"xml"_s, u"5"_s},
        {Waiting, u"htm"_s},
        {Downloading, u"pdf"_s, u"5"_s},
        {Completed, u"pdf"_s, u"5"_s, {}, {}, false, true},
        {Failed, u"html"_s, u"5"_s},
    };
    const Case cases[] = {
        {"failed", &DownloadListCommands::RedownloadFailedTasks,
         {u"W pdf"_s, u"htm"_s, u"xml"_s, u"htm"_s, u"pdf"_s, u"pdf"_s, u"W xxx"_s}},
        {"web_pages_xml_too", &DownloadListCommands::RedownloadWebPageTasks,
         {u"pdf"_s, u"W xxx"_s, u"W xxx"_s, u"htm"_s, u"pdf"_s, u"pdf"_s, u"W xxx"_s}},
        {"failed_and_web_pages_not_xml", &DownloadListCommands::RedownloadFailedAndWebPageTasks,
         {u"W pdf"_s, u"W xxx"_s, u"xml"_s, u"htm"_s, u"pdf"_s, u"pdf"_s, u"W xxx"_s}},
        {"selected", &DownloadListCommands::RedownloadSelectedTasks,
         {u"pdf"_s, u"htm"_s, u"xml"_s, u"htm"_s, u"pdf"_s, u"W pdf"_s, u"html"_s}},
    };
    for (const Case& c : cases) {
        ListFixture f;
        f.add(rows);
        DownloadListCommands cmd(f.model, f.activity, f.prompts, f.shell);
        f.activity.active = true; // re-download never refuses
        (cmd.*c.Run)();
        for (int p = 1; p <= f.list.count(); ++p) {
            const DownloadTask& t = *f.list.TaskAt(p);
            const bool requeued = t.State == Waiting && t.Size.isEmpty() && rows[size_t(p - 1)].State != Waiting;
            EXPECT_EQ((requeued ? u"W "_s : QString()) + t.Type, c.Expected[size_t(p - 1)]) << c.Label << " row " << p;
        }
        EXPECT_EQ(f.list.TaskAt(5)->State, Downloading) << c.Label;
    }
}

TEST_F(ListCommandsTest, RedownloadSmallTasks)
{
    add({
        {Completed, u"pdf"_s, u"30000"_s, u"30000"_s},
        {Failed, u"pdf"_s, u"30,000"_s, u"30000"_s},
        {Completed, u"pdf"_s, u"50000"_s, u"50000"_s},
        {Failed, u"pdf"_s, u"30000"_s, u"20000"_s},
        {Completed, u"pdf"_s, u"未知"_s, u"100"_s},
        {Downloading, u"pdf"_s, u"100"_s, u"100"_s},
    });
    prompts.textAnswers = {u" 50000 "_s};
    commands.RedownloadSmallTasks();
    EXPECT_EQ(prompts.shown.front().Text, u"请输入数字："_s);
    const std::vector<TaskState> expected = {Waiting, Waiting, Completed, Failed, Completed, Downloading};
    for (int p = 1; p <= list.count(); ++p)
        EXPECT_EQ(list.TaskAt(p)->State, expected[size_t(p - 1)]) << p;

    for (const QString& answer : {u""_s, u"abc"_s, QString()}) {
        ListFixture f;
        f.add({{Completed, u"pdf"_s, u"1"_s, u"1"_s}});
        DownloadListCommands cmd(f.model, f.activity, f.prompts, f.shell);
        f.prompts.textAnswers = {answer};
        cmd.RedownloadSmallTasks();
        EXPECT_EQ(f.list.TaskAt(1)->State, Completed);
    }
}

TEST_F(ListCommandsTest, ClearFailedKeepsOthersAndUpdatesLabelWithOneReset)
{
    add({{Failed}, {Failed}, {Completed}, {Failed}});
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    commands.ClearFailedTasks();
    EXPECT_EQ(names(), QStringList{u"t2"_s});
    EXPECT_EQ(resets.count(), 1); // the reset the label follows
    EXPECT_EQ(commands.TaskCountLabelText(), u"1条"_s);
}

TEST_F(ListCommandsTest, ClearCommandsRefuseWhileDownloadsActive)
{
    add({{Failed}, {Completed, u"pdf"_s, {}, {}, {}, false, true}});
    activity.active = true;
    prompts.yesNoAnswers = {true};
    commands.ClearFailedTasks();
    commands.ClearCompletedTasks();
    commands.ClearSelectedTasks();
    commands.ClearAllTasks();
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(prompts.messages(), QStringList(4, u"停止下载以后，才能执行此操作！"_s));
    EXPECT_EQ(prompts.shown[0].Icon, MessageIcon::Information);
}

TEST_F(ListCommandsTest, ClearSelectedAndCompleted)
{
    add({{Completed}, {Waiting, u"pdf"_s, {}, {}, {}, false, true}, {Failed}, {Completed}});
    commands.ClearSelectedTasks();
    EXPECT_EQ(names(), (QStringList{u"t0"_s, u"t2"_s, u"t3"_s}));
    commands.ClearCompletedTasks();
    EXPECT_EQ(names(), QStringList{u"t2"_s});
}

TEST_F(ListCommandsTest, ClearAllAsksFirst)
{
    add({{Completed}, {Waiting}});
    prompts.yesNoAnswers = {false, true};
    commands.ClearAllTasks();
    EXPECT_EQ(list.count(), 2);
    commands.ClearAllTasks();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(prompts.shown[0].Text, u"您确定要清空列表的所有信息吗？"_s);
    EXPECT_EQ(commands.TaskCountLabelText(), u"0条"_s);
}

TEST_F(ListCommandsTest, DeleteFileCommandsKeepTasks)
{
    add({{Failed, u"pdf"_s, {}, {}, {}, true},
         {Completed, u"xml"_s, {}, {}, {}, true},
         {Completed, u"pdf"_s, {}, {}, {}, true},
         {Waiting, u"htm"_s, {}, {}, {}, true}});
    commands.DeleteWebPageFiles();
    EXPECT_EQ((std::vector<bool>{fileOf(1), fileOf(2), fileOf(3), fileOf(4)}),
              (std::vector<bool>{true, false, true, true}));
    commands.DeleteFailedFiles();
    EXPECT_FALSE(fileOf(1));
    EXPECT_TRUE(fileOf(3));
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.TaskAt(2)->State, Completed);
}

TEST_F(ListCommandsTest, CancelFailsOnlySelectedWaitingTasks)
{
    add({{Waiting, u"pdf"_s, {}, {}, {}, false, true}, {Completed, u"pdf"_s, {}, {}, {}, false, true}, {Waiting}});
    commands.CancelSelectedTasks();
    EXPECT_EQ(list.TaskAt(1)->State, Failed);
    EXPECT_EQ(list.TaskAt(2)->State, Completed);
    EXPECT_EQ(list.TaskAt(3)->State, Waiting);

    activity.busy = true;
    list.TaskAt(3)->Selected = true;
    commands.CancelSelectedTasks();
    EXPECT_EQ(list.TaskAt(3)->State, Waiting);
    EXPECT_EQ(prompts.shown.back().Text, u"停止下载后方可设置！"_s);
    EXPECT_EQ(prompts.shown.back().Icon, MessageIcon::Error);
}

TEST_F(ListCommandsTest, SelectAllAndNone)
{
    add({{Waiting}, {Failed}});
    commands.SelectAllTasks();
    EXPECT_TRUE(list.TaskAt(1)->Selected && list.TaskAt(2)->Selected);
    commands.SelectNoTasks();
    EXPECT_FALSE(list.TaskAt(1)->Selected || list.TaskAt(2)->Selected);
}

TEST_F(ListCommandsTest, OpenCommandsOnTheCurrentTask)
{
    add({{Completed, u"pdf"_s, {}, {}, {}, true}, {Completed, u""_s}});
    commands.OpenTaskFile(); // no current row: nothing
    EXPECT_TRUE(shell.calls.isEmpty());
    EXPECT_TRUE(prompts.shown.isEmpty());

    list.setCurrentPosition(1);
    commands.OpenTaskFile();
    commands.OpenTaskFolder();
    commands.OpenTaskInNotepad();
    commands.CopyTaskName();
    const QString path = temp.filePath(u"t0.pdf"_s);
    EXPECT_EQ(shell.calls, (QStringList{u"openFile "_s + path, u"showInFolder "_s + path,
                                        u"startTextEditor "_s + path}));
    EXPECT_EQ(shell.clipboard, u"t0"_s);

    shell.accepts = false;
    commands.OpenTaskFolder();
    EXPECT_EQ(prompts.messages(), QStringList{u"打开失败！"_s});
}

TEST_F(ListCommandsTest, OpenCommandsReportMissingFilesAndFolders)
{
    add({{Completed, u""_s}});
    temp.writeFile(u"t0"_s, "a file without the dot"); // the open commands look for "t0."
    list.setCurrentPosition(1);
    commands.OpenTaskFile();
    commands.OpenTaskInNotepad();
    commands.OpenTaskFolder();
    EXPECT_EQ(prompts.messages(), (QStringList{u"该文件不存在！"_s, u"该文件不存在！"_s}));
    EXPECT_EQ(shell.calls, QStringList{u"openFolder "_s + temp.path() + u'/'});

    list.TaskAt(1)->Folder = temp.filePath(u"gone/"_s);
    commands.OpenTaskFolder();
    EXPECT_EQ(prompts.messages().back(), u"文件夹不存在！"_s);
}

TEST_F(ListCommandsTest, EditorAcceptsUpTo2048KB)
{
    add({{Completed, u"txt"_s}});
    list.setCurrentPosition(1);
    const QString path = temp.writeFile(u"t0.txt"_s, QByteArray(2097152, 'a'));
    commands.OpenTaskInNotepad();
    EXPECT_EQ(shell.calls.size(), 1);
    temp.writeFile(u"t0.txt"_s, QByteArray(2097153, 'a'));
    commands.OpenTaskInNotepad();
    EXPECT_EQ(shell.calls.size(), 1);
    EXPECT_EQ(prompts.messages(), QStringList{u"该文件太大，超过了2M，不便于用记事本打开！"_s});
}

TEST_F(ListCommandsTest, ExportNames)
{
    add({{Completed}, {Failed}, {Waiting}});
    list.TaskAt(2)->Name = u"中文名"_s;
    const QString all = temp.filePath(u"all.txt"_s);
    const QString unfinished = temp.filePath(u"unfinished.txt"_s);
    prompts.fileAnswers = {all, unfinished, QString()};
    commands.ExportTaskNames(false);
    commands.ExportTaskNames(true);
    commands.ExportTaskNames(true); // cancelled: nothing written
    QFile a(all), u(unfinished);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && u.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), legacytext::encode(u"t0\r\n中文名\r\nt2\r\n"_s));
    EXPECT_EQ(u.readAll(), legacytext::encode(u"中文名\r\nt2\r\n"_s));
    EXPECT_EQ(prompts.shown[0].Text, u"|*.txt|*.txt|*.ris|*.ris|*.bib|*.bib"_s);
}

TEST_F(ListCommandsTest, ExportCitationsOfTheTasksFromResultPages)
{
    add({{Completed}, {Failed}, {Waiting}, {Waiting}});
    const auto cite = [this](int position, const QString& title, const QString& author, const QString& year) {
        CitedArticle article;
        article.Title = title;
        article.Url = list.TaskAt(position)->Url;
        article.Meta.Authors = {author};
        article.Meta.Year = year;
        article.Meta.Doi = u"10.1021/x"_s + QString::number(position);
        list.TaskAt(position)->Cited = article;
    };
    cite(1, u"Done {braced}"_s, u"Zoë Müller"_s, u"2024"_s);
    cite(2, u"Failed one"_s, u"Müller, Z."_s, u"2024"_s);
    cite(4, u"Waiting one"_s, u"Li Hua"_s, u"2023"_s); // task 3 was typed in: nothing to cite
    const QString ris = temp.filePath(u"all.RIS"_s);
    const QString bib = temp.filePath(u"unfinished.bib"_s);
    prompts.fileAnswers = {ris, bib};
    commands.ExportTaskNames(false);
    commands.ExportTaskNames(true);
    EXPECT_TRUE(prompts.messages().isEmpty());

    QFile r(ris), b(bib);
    ASSERT_TRUE(r.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const std::optional<std::vector<RisRecord>> records = ReadRis(QString::fromUtf8(r.readAll()));
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 3u);
    EXPECT_EQ((*records)[0].value(u"TI"_s), QStringList{u"Done {braced}"_s});
    EXPECT_EQ((*records)[2].value(u"DO"_s), QStringList{u"10.1021/x4"_s});
    const std::optional<std::vector<BibEntry>> entries = ReadBibTex(QString::fromUtf8(b.readAll()));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u); // the completed task left out
    EXPECT_EQ((*entries)[0].Fields.value(u"title"_s), u"Failed one"_s);
    EXPECT_EQ((*entries)[1].Fields.value(u"author"_s), u"Li Hua"_s);
    EXPECT_NE((*entries)[0].Key, (*entries)[1].Key);
}

TEST_F(ListCommandsTest, ExportCitationsWithNothingToCiteSaysSoAndWritesNothing)
{
    add({{Waiting}});
    const QString ris = temp.filePath(u"none.ris"_s);
    prompts.fileAnswers = {ris};
    commands.ExportTaskNames(false);
    EXPECT_FALSE(QFileInfo::exists(ris));
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.shown.back().Icon, MessageIcon::Information);
}

TEST_F(ListCommandsTest, ExportEdgeCases)
{
    commands.ExportTaskNames(false); // empty list: no dialog
    EXPECT_TRUE(prompts.shown.isEmpty());

    add({{Completed}});
    const QString empty = temp.filePath(u"empty.txt"_s);
    prompts.fileAnswers = {empty, temp.filePath(u"no/such/folder/x.txt"_s)};
    commands.ExportTaskNames(true);
    EXPECT_EQ(QFileInfo(empty).size(), 0);
    EXPECT_TRUE(QFileInfo::exists(empty));
    commands.ExportTaskNames(false);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.shown.back().Icon, MessageIcon::Error);
}

TEST_F(ListCommandsTest, MarkMissingFilesWritesProgressOnly)
{
    add({{Completed, u"pdf"_s, u"5"_s, u"5"_s, u"100%"_s, true}, {Completed, u""_s, u"5"_s, u"5"_s, u"100%"_s}});
    temp.writeFile(u"t1"_s); // found without a dot
    list.TaskAt(1)->Progress = u"不存在"_s;
    commands.MarkMissingFiles();
    EXPECT_EQ(list.TaskAt(1)->Progress, u"不存在"_s); // an earlier mark stays
    EXPECT_EQ(list.TaskAt(2)->Progress, u"100%"_s);
    QFile::remove(temp.filePath(u"t1"_s));
    commands.MarkMissingFiles();
    EXPECT_EQ(list.TaskAt(2)->Progress, u"不存在"_s);
    EXPECT_EQ(list.TaskAt(2)->State, Completed);
}

TEST_F(ListCommandsTest, DoubleClick)
{
    add({{Completed, u"pdf"_s, {}, {}, {}, true}, {Completed}, {Failed, u"htm"_s, u"9"_s, u"9"_s, u"100%"_s, true},
         {Waiting}});
    list.setCurrentPosition(1);
    commands.OpenOrRequeueCurrentTask();
    EXPECT_EQ(shell.calls, QStringList{u"openFile "_s + temp.filePath(u"t0.pdf"_s)});

    list.setCurrentPosition(2);
    commands.OpenOrRequeueCurrentTask();
    EXPECT_EQ(prompts.messages(), QStringList{u"文件不存在！"_s});

    list.setCurrentPosition(3);
    commands.OpenOrRequeueCurrentTask();
    const DownloadTask& t = *list.TaskAt(3);
    EXPECT_EQ(t.State, Waiting);
    EXPECT_EQ(t.Type, u"htm"_s);
    EXPECT_TRUE(IsUntouched(t));
    EXPECT_FALSE(fileOf(3));

    list.setCurrentPosition(4);
    commands.OpenOrRequeueCurrentTask();
    EXPECT_EQ(list.TaskAt(4)->State, Waiting);
    EXPECT_EQ(shell.calls.size(), 1);
}

TEST_F(ListCommandsTest, AClickedTaskBecomesCurrentAndShowsItsFileOnlyWhenThere)
{
    add({{Completed, u""_s}, {Completed}});
    temp.writeFile(u"t0"_s);
    EXPECT_EQ(commands.MakeTaskCurrent(1), temp.filePath(u"t0"_s));
    EXPECT_EQ(list.currentPosition(), 1);
    EXPECT_EQ(commands.MakeTaskCurrent(2), u""_s);
    EXPECT_EQ(commands.MakeTaskCurrent(9), u""_s);
}

TEST_F(ListCommandsTest, CorrectDiskFileTypes)
{
    add({{Completed, u"pdf"_s}, {Failed, u"pdf"_s}, {Completed, u"pdf"_s}});
    temp.writeFile(u"t0.pdf"_s, "<html ><head></head><body>sign in</body></html>");
    temp.writeFile(u"t1.pdf"_s, QByteArray("PK\x03\x04\x14\x00\x06\x00\x08\x00", 10) + QByteArray(100, 'x'));
    activity.active = true;
    commands.CorrectDiskFileTypes();
    EXPECT_EQ(prompts.messages(), QStringList{u"停止下载以后，才能执行此操作！"_s});
    activity.active = false;
    commands.CorrectDiskFileTypes();
    EXPECT_EQ(prompts.messages().back(), u"纠正文件类型：2个."_s);
    EXPECT_EQ(list.TaskAt(1)->Type, u"htm"_s);
    EXPECT_EQ(list.TaskAt(2)->Type, u"docx"_s);
    EXPECT_EQ(list.TaskAt(2)->State, Failed);
}

TEST_F(ListCommandsTest, DetectChosenFileType)
{
    prompts.fileAnswers = {temp.writeFile(u"x"_s, "%PDF-1.4 and more"), temp.writeFile(u"y"_s, "plain words here"),
                           QString()};
    commands.DetectChosenFileType();
    commands.DetectChosenFileType();
    commands.DetectChosenFileType();
    EXPECT_EQ(prompts.messages(), (QStringList{u"文件类型为：pdf"_s, u"目前还无法判断。"_s}));
    EXPECT_EQ(prompts.shown[0].Text, u"|*.*|*.*"_s);
}

TEST_F(ListCommandsTest, EmptyListAndFilesDeletedOutsideNeverCrash)
{
    commands.RedownloadFailedTasks();
    commands.ClearFailedTasks();
    commands.DeleteFailedFiles();
    commands.CancelSelectedTasks();
    commands.OpenTaskFile();
    commands.MarkMissingFiles();
    commands.OpenOrRequeueCurrentTask();
    prompts.textAnswers = {u"5"_s};
    commands.RedownloadSmallTasks();
    EXPECT_TRUE(list.isEmpty());

    // Every character a Linux file name may hold, apart from '/' and NUL.
    QString oddName;
    for (char16_t c = 1; c < 128; ++c) {
        if (c != u'/')
            oddName.append(QChar(c));
    }
    add({{Failed, u"pdf"_s, {}, {}, {}, false}});
    list.TaskAt(1)->Name = oddName;
    temp.writeFile(oddName + u".pdf"_s, "x");
    commands.DeleteFailedFiles();
    EXPECT_FALSE(QFile::exists(temp.filePath(oddName + u".pdf"_s)));
    commands.RedownloadFailedTasks();
    EXPECT_EQ(list.TaskAt(1)->State, Waiting);
}

} // namespace
