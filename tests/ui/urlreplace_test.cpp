#include "dialogfixture.h"

#include "downloads/list/downloadactivity.h"
#include "downloads/list/downloadlist.h"
#include "downloads/list/downloadtablemodel.h"
#include "ui/urlreplace.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Activity final : DownloadActivity {
    bool active = false;
    bool DownloadsActive() const override { return active; }
    bool TransferBusy() const override { return false; }
    bool SchedulerEnabled() const override { return active; }
};

struct ReplaceFixture {
    explicit ReplaceFixture(const QList<std::pair<QString, QString>>& tasks) : model(list)
    {
        for (const auto& [url, referer] : tasks)
            list.AddTask(url, u"name"_s + QString::number(list.count()), u"pdf"_s, u"/f/"_s, referer);
    }

    // Runs the dialog with the two texts and presses "替换".
    bool replace(const QString& find, const QString& replacement)
    {
        UrlReplace dialog(model, activity, prompts);
        dialog.show();
        control<QLineEdit>(dialog, u"Text1"_s)->setText(find);
        control<QLineEdit>(dialog, u"Text2"_s)->setText(replacement);
        click(dialog, u"Command1"_s);
        return !dialog.isVisible();
    }

    QStringList urls() const
    {
        QStringList out;
        for (const DownloadTask& t : list.tasks())
            out.append(t.Url);
        return out;
    }

    QStringList referers() const
    {
        QStringList out;
        for (const DownloadTask& t : list.tasks())
            out.append(t.Referer);
        return out;
    }

    DownloadList list;
    DownloadTableModel model;
    Activity activity;
    RecordingPrompts prompts;
};

TEST(UrlReplace, ReplacesInAddressAndRefererIgnoringCaseWritingAsTyped)
{
    ReplaceFixture f({{u"https://old.host/doi/pdf/1"_s, u"https://OLD.host/search"_s},
                      {u"http://Old.Host/a/old.host.pdf"_s, u""_s},
                      {u"https://other/x"_s, u"https://other/"_s}});
    f.list.TaskAt(1)->State = TaskState::Completed;
    f.list.TaskAt(1)->Progress = u"100%"_s;
    QSignalSpy resets(&f.model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&f.model, &QAbstractItemModel::dataChanged);

    EXPECT_TRUE(f.replace(u"OLD.HOST"_s, u"Mirror.Net"_s));
    EXPECT_EQ(f.urls(), (QStringList{u"https://Mirror.Net/doi/pdf/1"_s, u"http://Mirror.Net/a/Mirror.Net.pdf"_s,
                                     u"https://other/x"_s}));
    EXPECT_EQ(f.referers(), (QStringList{u"https://Mirror.Net/search"_s, u""_s, u"https://other/"_s}));
    EXPECT_EQ(f.list.positionOfUrl(u"https://Mirror.Net/doi/pdf/1"_s), 1); // the key follows the address
    EXPECT_EQ(f.list.positionOfUrl(u"https://old.host/doi/pdf/1"_s), 0);
    EXPECT_EQ(f.list.TaskAt(1)->State, TaskState::Completed);
    EXPECT_EQ(f.list.TaskAt(1)->Progress, u"100%"_s);
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(changes.size(), 0);
    EXPECT_EQ(f.prompts.messages(), QStringList{u"全部网址替换完成！"_s});
    EXPECT_EQ(f.prompts.shown[0].Icon, MessageIcon::Information);
}

TEST(UrlReplace, TextsAreUsedAsTypedAndReplacedTextIsNotSearchedAgain)
{
    const struct {
        const char* name;
        QString find;
        QString replacement;
        QString before;
        QString after;
    } cases[] = {
        {"empty replacement removes", u"/pdf"_s, u""_s, u"https://h/doi/pdf/pdf/1"_s, u"https://h/doi/1"_s},
        {"leading space is searched", u" a"_s, u"_"_s, u"https://h/x a a"_s, u"https://h/x__"_s},
        {"no overlap, left to right", u"aa"_s, u"b"_s, u"https://h/aaa"_s, u"https://h/ba"_s},
        {"replacement holds the text", u"a"_s, u"aa"_s, u"https://h/a"_s, u"https://h/aa"_s},
    };
    for (const auto& c : cases) {
        ReplaceFixture f({{c.before, {}}});
        EXPECT_TRUE(f.replace(c.find, c.replacement)) << c.name;
        EXPECT_EQ(f.urls(), QStringList{c.after}) << c.name;
    }
}

TEST(UrlReplace, RefusesBlankTextAndRunningDownloadsAndStaysOpen)
{
    ReplaceFixture f({{u"https://h/a"_s, {}}});
    EXPECT_FALSE(f.replace(u"   "_s, u"x"_s));
    EXPECT_FALSE(f.replace(u""_s, u"x"_s));
    f.activity.active = true;
    EXPECT_FALSE(f.replace(u"h"_s, u"x"_s));
    EXPECT_EQ(f.prompts.messages(),
              (QStringList{u"请输入字符串！"_s, u"请输入字符串！"_s, u"停止下载以后，才能执行此操作！"_s}));
    EXPECT_EQ(f.prompts.shown[0].Icon, MessageIcon::Error);
    EXPECT_EQ(f.urls(), QStringList{u"https://h/a"_s});
}

TEST(UrlReplace, EmptyListReportsDone)
{
    ReplaceFixture f({});
    EXPECT_TRUE(f.replace(u"a"_s, u"b"_s));
    EXPECT_EQ(f.prompts.messages(), QStringList{u"全部网址替换完成！"_s});
}

TEST(UrlReplace, AddressesStayUniqueAndTheClashesAreCounted)
{
    const struct {
        const char* name;
        QStringList before;
        QString find;
        QString replacement;
        QStringList after;
        int leftUnchanged;
    } cases[] = {
        {"new address is an untouched task's", {u"https://h/A1"_s, u"https://h/B1"_s}, u"A"_s, u"B"_s,
         {u"https://h/A1"_s, u"https://h/B1"_s}, 1},
        {"two tasks would meet: the first gets it", {u"https://h/x1"_s, u"https://h/y1"_s}, u"x"_s, u"y"_s,
         {u"https://h/x1"_s, u"https://h/y1"_s}, 1},
        {"case-only twins", {u"https://h/p/A"_s, u"https://h/P/A"_s}, u"/p/"_s, u"/q/"_s,
         {u"https://h/q/A"_s, u"https://h/P/A"_s}, 1},
        // The first task takes the second's old address as the second moves on.
        {"a chain moves along", {u"https://h/1"_s, u"https://h/11"_s}, u"1"_s, u"11"_s,
         {u"https://h/11"_s, u"https://h/1111"_s}, 0},
        {"a kept task blocks the next one", {u"https://h/a/1"_s, u"https://h/b/1"_s, u"https://h/c/1"_s},
         u"/a/"_s, u"/b/"_s, {u"https://h/a/1"_s, u"https://h/b/1"_s, u"https://h/c/1"_s}, 1},
    };
    for (const auto& c : cases) {
        QList<std::pair<QString, QString>> tasks;
        for (const QString& url : c.before)
            tasks.append({url, u"ref:"_s + url});
        ReplaceFixture f(tasks);
        EXPECT_TRUE(f.replace(c.find, c.replacement)) << c.name;
        EXPECT_EQ(f.urls(), c.after) << c.name;
        for (int i = 0; i < c.after.size(); ++i)
            EXPECT_EQ(f.list.positionOfUrl(c.after[i]), i + 1) << c.name;
        if (c.leftUnchanged == 0) {
            EXPECT_EQ(f.prompts.messages(), QStringList{u"全部网址替换完成！"_s}) << c.name;
        } else {
            EXPECT_EQ(f.prompts.messages(),
                      QStringList{u"网址替换完成！有 %1 个任务的新网址与其他任务相同，保留了原网址。"_s.arg(c.leftUnchanged)})
                << c.name;
        }
    }
}

TEST(UrlReplace, ATaskLeftUnchangedKeepsItsRefererToo)
{
    ReplaceFixture f({{u"https://h/x1"_s, u"https://h/x-page"_s}, {u"https://h/y1"_s, u"https://h/x-page"_s}});
    EXPECT_TRUE(f.replace(u"y"_s, u"x"_s));
    EXPECT_EQ(f.urls(), (QStringList{u"https://h/x1"_s, u"https://h/y1"_s}));
    EXPECT_EQ(f.referers(), (QStringList{u"https://h/x-page"_s, u"https://h/x-page"_s}));

    ReplaceFixture g({{u"https://h/x1"_s, u"https://h/y-page"_s}, {u"https://h/y1"_s, u"https://h/y-page"_s}});
    EXPECT_TRUE(g.replace(u"y"_s, u"x"_s));
    // The first task's address has no "y": only its referring page changes.
    EXPECT_EQ(g.referers(), (QStringList{u"https://h/x-page"_s, u"https://h/y-page"_s}));
}

} // namespace
