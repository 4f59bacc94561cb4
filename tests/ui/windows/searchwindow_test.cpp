#include "windowfixture.h"

#include "downloads/list/downloadtablemodel.h"
#include "ui/browser/webbrowserview.h"
#include "ui/browser/websearchbrowser.h"
#include "ui/fcover.h"
#include "ui/ffiledownload.h"
#include "ui/fwebsearch.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

Route page(const QByteArray& body)
{
    Route route;
    route.Body = "<html><head><title>ACS Publications: results</title></head><body>" + body + "</body></html>";
    route.ContentType = "text/html";
    return route;
}

// A result page of the current layout with three articles, linking to the next page.
QByteArray results(int first, const QByteArray& next)
{
    QByteArray html;
    for (int n = first; n < first + 3; ++n) {
        const QByteArray number = QByteArray::number(n);
        html += "<div class='issue-item'><input type='checkbox' name='doi' value='10.1021/jacs.4c0" + number
            + "'><h3 class='issue-item_title'><a href='/doi/10.1021/jacs.4c0" + number
            + "'>Selective Catalysis, Part " + number + "</a></h3></div>";
    }
    if (!next.isEmpty())
        html += "<a class='pagination__btn--next' title='Next Page' href='" + next + "'>Next</a>";
    return html;
}

class SearchWindowTest : public WindowFixture {
protected:
    void SetUp() override
    {
        server.route("/results/1", page(results(1, "/results/2")));
        server.route("/results/2", page(results(4, "/results/3")));
        server.route("/results/3", page(results(7, {})));
    }

    fWebSearch* openSearch(MainWindows& w)
    {
        w.showSearchWindow();
        fWebSearch* search = w.searchWindow();
        EXPECT_NE(search, nullptr);
        if (search != nullptr)
            EXPECT_TRUE(WaitUntil([&] { return search->browser().url().path() == u"/results/1"_s
                                                   && !search->browser().Busy(); }));
        return search;
    }
};

TEST_F(SearchWindowTest, AllPagesThenTheHandOffReachesTheDownloadWindow)
{
    MainWindows& w = windows(server.url(u"/results/1"_s));
    w.start();
    fWebSearch* search = openSearch(w);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->windowTitle(), u"ACS数据检索分析 - Paperpull"_s);
    EXPECT_TRUE(find<QCheckBox>(search, u"Check2"_s)->isChecked());
    EXPECT_FALSE(w.cover().isVisible());

    find<QPushButton>(search, u"Command4"_s)->click();
    ASSERT_TRUE(WaitUntil([&] { return !search->controller().addAllRunning(); }, 60000));
    auto* list = find<QTableView>(search, u"ListView1"_s);
    ASSERT_EQ(list->model()->rowCount(), 9);
    EXPECT_EQ(find<QLabel>(search, u"Label1"_s)->text(), u"9"_s);
    EXPECT_EQ(list->model()->index(8, 0).data().toString(), u"Selective Catalysis, Part 9"_s);

    // With rows selected, "分析下载" pops up the analysis menu.
    list->selectRow(0);
    find<QPushButton>(search, u"Command2"_s)->click();
    auto* analyse = search->findChild<QMenu*>(u"mnuAnalyse"_s);
    ASSERT_NE(analyse, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return analyse->isVisible(); }, 2000));
    analyse->hide();
    for (QAction* action : analyse->actions()) {
        if (action->text() == u"分析选中项"_s)
            action->trigger();
    }
    ASSERT_TRUE(WaitUntil([&] { return w.downloadWindow() != nullptr && w.downloadWindow()->isVisible(); }, 10000));
    EXPECT_EQ(w.downloadWindow()->engine().list().count(), 1);
    // Without a selection every record goes.
    list->clearSelection();
    find<QPushButton>(search, u"Command2"_s)->click();
    ASSERT_TRUE(WaitUntil([&] { return w.downloadWindow()->engine().list().count() == 9; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return w.downloadWindow() != nullptr && w.downloadWindow()->isVisible(); }, 10000));
    const DownloadList& tasks = w.downloadWindow()->engine().list();
    ASSERT_EQ(tasks.count(), 9);
    EXPECT_EQ(tasks.TaskAt(1)->Name, u"Selective Catalysis, Part 1"_s);
    EXPECT_EQ(tasks.TaskAt(1)->Url, server.url(u"/doi/pdf/10.1021/jacs.4c01"_s));
    EXPECT_EQ(tasks.TaskAt(1)->Referer, server.url(u"/results/1"_s));
    EXPECT_EQ(tasks.TaskAt(1)->Folder, temp.path() + u'/');
    EXPECT_EQ(saveFolder.asked, 2);
    search->raise();
    QTest::qWait(400); // the page is painted a moment after it is complete
    savePicture(*search, u"fwebsearch"_s);
}

TEST_F(SearchWindowTest, OnlyTickedEntriesAndAStopMidRun)
{
    MainWindows& w = windows(server.url(u"/results/1"_s));
    fWebSearch* search = openSearch(w);
    ASSERT_NE(search, nullptr);
    // A box ticked through the page counts under "只提取网页勾选项".
    auto& browser = static_cast<WebSearchBrowser&>(search->browser().searchBrowser());
    const DomSnapshot shown = ReadNow(browser);
    const std::vector<int> boxes = shown.getElementsByTagName(u"INPUT"_s);
    ASSERT_EQ(boxes.size(), 3u);
    ASSERT_TRUE(ClickNow(browser, boxes[1], u"INPUT"_s));
    find<QCheckBox>(search, u"Check1"_s)->setChecked(true);
    find<QPushButton>(search, u"Command9"_s)->click();
    ASSERT_TRUE(WaitUntil([&] { return search->findChild<QTableView*>(u"ListView1"_s)->model()->rowCount() == 1; }));
    find<QCheckBox>(search, u"Check1"_s)->setChecked(false);

    auto* addAll = find<QPushButton>(search, u"Command4"_s);
    addAll->click();
    EXPECT_TRUE(search->controller().addAllRunning());
    EXPECT_NE(addAll->text(), u"加入全部到列表"_s);
    addAll->click(); // the same button stops the run
    ASSERT_TRUE(WaitUntil([&] { return !search->controller().addAllRunning(); }, 60000));
    EXPECT_LT(search->findChild<QTableView*>(u"ListView1"_s)->model()->rowCount(), 9);
    EXPECT_EQ(addAll->text(), u"加入全部到列表"_s);
}

TEST_F(SearchWindowTest, AnAddressInCapitalsWithHttpsAllowsScriptDialogs)
{
    MainWindows& w = windows(server.url(u"/results/1"_s));
    fWebSearch* search = openSearch(w);
    ASSERT_NE(search, nullptr);
    prompts.textAnswers = {u"  HTTPS://127.0.0.1:1/  "_s, server.url(u"/results/2"_s)};
    search->OpenAddress();
    EXPECT_FALSE(find<QCheckBox>(search, u"Check2"_s)->isChecked());
    EXPECT_FALSE(search->browser().isSilent());
    search->OpenAddress();
    EXPECT_TRUE(find<QCheckBox>(search, u"Check2"_s)->isChecked());
    EXPECT_TRUE(WaitUntil([&] { return search->browser().url().path() == u"/results/2"_s; }));
}

TEST_F(SearchWindowTest, CoverComesBackOnlyWhenTheLastMainWindowCloses)
{
    MainWindows& w = windows(server.url(u"/results/1"_s));
    w.start();
    fCover& cover = w.cover();
    find<QPushButton>(&cover, u"Command1"_s)->click();
    fWebSearch* first = w.searchWindow();
    cover.showCover();
    find<QPushButton>(&cover, u"Command1"_s)->click();
    EXPECT_EQ(w.searchWindow(), first); // one search window, never two

    w.ShowDownloadWindow();
    first->close();
    EXPECT_FALSE(cover.isVisible()); // the download window is still open
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // gone, not just hidden
    ASSERT_EQ(w.searchWindow(), nullptr);
    fFileDownload* download = w.downloadWindow();
    ASSERT_NE(download, nullptr);
    download->close();
    EXPECT_TRUE(cover.isVisible());
    savePicture(cover, u"fcover"_s);
}

TEST_F(SearchWindowTest, LeavingTheProgramClosesEveryWindowAtOnce)
{
    MainWindows& w = windows(server.url(u"/results/1"_s));
    w.start();
    w.showSearchWindow();
    w.ShowDownloadWindow();
    // A waiting task would make the download window ask; leaving asks nothing.
    w.downloadWindow()->engine().model().AddTask(u"https://pubs.example.org/doi/pdf/x"_s, u"x"_s, u"pdf"_s,
                                                 temp.path(), {});
    QSignalSpy ended(&w, &MainWindows::programEnded);
    w.cover().showCover();
    find<QPushButton>(&w.cover(), u"Command3"_s)->click();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(w.searchWindow(), nullptr);
    EXPECT_EQ(w.downloadWindow(), nullptr);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(SearchWindowTest, VersionNoticeFromTheServer)
{
    const struct {
        const char* Label;
        Route Answer;
        QString Notice; // "" = none
        bool NetworkMessage;
    } cases[] = {
        {"newer", Route{.Body = "  99.0.0 ", .ContentType = "text/plain"}, u"有最新版本：V99.0.0"_s, false},
        {"older", Route{.Body = "0.0.1", .ContentType = "text/plain"}, u""_s, false},
        {"server_error", Route{.Status = 500, .Body = "oops", .ContentType = "text/plain"}, u""_s, true},
    };
    for (const auto& c : cases) {
        server.route("/Paperpull/newver.txt", c.Answer);
        shell.calls.clear();
        MainWindows& w = windows(server.url(u"/results/1"_s), server.url(u"/"_s));
        w.start();
        auto* notice = find<QLabel>(&w.cover(), u"Label2"_s);
        const bool answered = WaitUntil([&] {
            return notice->isVisible() || w.cover().findChild<QWidget*>(u"NetworkNotice"_s) != nullptr
                || server.requests.size() > 0;
        }, 5000);
        ASSERT_TRUE(answered) << c.Label;
        QTest::qWait(300);
        EXPECT_EQ(notice->isVisible() ? notice->text() : QString(), c.Notice) << c.Label;
        EXPECT_EQ(w.cover().findChild<QWidget*>(u"NetworkNotice"_s) != nullptr, c.NetworkMessage) << c.Label;
        EXPECT_EQ(shell.calls.contains(u"openAddress "_s + server.url(u"/Paperpull/"_s)), !c.Notice.isEmpty())
            << c.Label;
        server.requests.clear();
    }
}

} // namespace

TEST_F(SearchWindowTest, BothListsAreThereAgainWhenTheirWindowsReopen)
{
    const QString downloadList = temp.filePath(u"downloads.dat"_s);
    const QString analysisList = temp.filePath(u"analysis.dat"_s);
    MainWindows* w = &windows(server.url(u"/results/1"_s), {}, downloadList, analysisList);
    w->start();
    fWebSearch* search = openSearch(*w);
    ASSERT_NE(search, nullptr);
    search->controller().AddCurrentPage();
    const QAbstractItemModel* records = find<QTableView>(search, u"ListView1"_s)->model();
    ASSERT_TRUE(WaitUntil([&] { return records->rowCount() > 0; }));
    const QString firstTitle = records->index(0, 0).data().toString();
    const int recordCount = records->rowCount();

    w->ShowDownloadWindow();
    DownloadTableModel& tasks = w->downloadWindow()->engine().model();
    tasks.AddTask(u"https://pubs.example.org/doi/pdf/10.1021/a"_s, u"a"_s, u"pdf"_s, temp.path() + u'/', {});
    tasks.AddTask(u"https://pubs.example.org/doi/pdf/10.1021/b"_s, u"b"_s, u"pdf"_s, temp.path() + u'/', {});
    tasks.list().TaskAt(2)->State = TaskState::Downloading; // as if the program ended mid-transfer
    tasks.taskChanged(2);

    search->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(w->searchWindow(), nullptr);
    // Leaving the program takes the download window down without closing it
    // (a close would stop the transfer first); its list is saved all the same.
    w->cover().showCover();
    find<QPushButton>(&w->cover(), u"Command3"_s)->click();
    ASSERT_EQ(w->downloadWindow(), nullptr);

    // The next run reads both lists back.
    w = &windows(server.url(u"/results/1"_s), {}, downloadList, analysisList);
    w->start();
    search = openSearch(*w);
    ASSERT_NE(search, nullptr);
    records = find<QTableView>(search, u"ListView1"_s)->model();
    ASSERT_EQ(records->rowCount(), recordCount);
    EXPECT_EQ(records->index(0, 0).data().toString(), firstTitle);
    EXPECT_EQ(find<QLabel>(search, u"Label1"_s)->text(), QString::number(recordCount));
    w->ShowDownloadWindow();
    const DownloadList& list = w->downloadWindow()->engine().list();
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.TaskAt(2)->Name, u"b"_s);
    EXPECT_EQ(list.TaskAt(2)->State, TaskState::Waiting);
    EXPECT_TRUE(prompts.shown.isEmpty()); // nothing asked, nothing to report: both files were good
}
