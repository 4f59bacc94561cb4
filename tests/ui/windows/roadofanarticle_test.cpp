// The road of one article through the real program: the cover, the search
// window's browser on the demo site, the hand-off, the download window with
// its transfers, the sign-in panel, and the files in the folder at the end.

#include "windowfixture.h"

#include "downloads/engine/programcookiejar.h"
#include "downloads/list/downloadtablemodel.h"
#include "support/articlepdf.h"
#include "support/demosite.h"
#include "support/tinyproxyprocess.h"
#include "ui/browser/cookiebridge.h"
#include "ui/browser/webbrowserview.h"
#include "ui/browser/websearchbrowser.h"
#include "ui/fcover.h"
#include "ui/ffiledownload.h"
#include "ui/fwebsearch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QNetworkCookie>
#include <QPushButton>
#include <QTableView>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QTest>
#include <QWebEngineView>
#include <QUrlQuery>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kSite = QStringLiteral(PAPERPULL_FIXTURES "/site");
constexpr int kSearchPapers = 9;
const QString kLargeDoi = u"10.1021/jacs.5c01005"_s;

class RoadOfAnArticleTest : public WindowFixture {
protected:
    RoadOfAnArticleTest() { cookieJar = &jar; }

    void SetUp() override
    {
        // One browser profile serves the whole process: no sign-in of an
        // earlier test may carry over (cookies know no port).
        SharedProfile().profile()->cookieStore()->deleteAllCookies();
        bridge = std::make_unique<CookieBridge>(jar, *SharedProfile().profile()->cookieStore());
        ASSERT_TRUE(site.listen());
        papers = temp.makeFolder(u"papers"_s) + u'/';
        settings.setSaveFolder(papers);
        values.SaveFolder = papers;
    }

    void TearDown() override { m_windows.reset(); }

    // The cover, "资料检索下载", the demo site's home page, and a search there.
    fWebSearch* searchFromTheCover(MainWindows& w)
    {
        w.start();
        find<QPushButton>(&w.cover(), u"Command1"_s)->click();
        fWebSearch* search = w.searchWindow();
        if (search == nullptr || !search->isVisible() || w.cover().isVisible()) {
            ADD_FAILURE() << "the cover did not open the search window";
            return nullptr;
        }
        WebBrowserView& browser = search->browser();
        if (!WaitUntil([&] { return browser.url() == QUrl(site.url(u"/"_s)) && !browser.Busy(); })) {
            ADD_FAILURE() << "the home page did not load";
            return nullptr;
        }
        auto& page = static_cast<WebSearchBrowser&>(browser.searchBrowser());
        const DomSnapshot home = ReadNow(page);
        int submit = -1;
        for (const int input : home.getElementsByTagName(u"INPUT"_s)) {
            if (home.element(input)->Type.compare(u"submit"_s, Qt::CaseInsensitive) == 0)
                submit = input;
        }
        EXPECT_GE(submit, 0);
        EXPECT_TRUE(ClickNow(page, submit, u"INPUT"_s));
        if (!WaitUntil([&] { return browser.url().path() == u"/action/doSearch"_s && !browser.Busy(); })) {
            ADD_FAILURE() << "the search did not answer";
            return nullptr;
        }
        return search;
    }

    // "加入全部到列表" over the result pages, then "分析下载" of every record.
    fFileDownload* addAllAndHandOff(MainWindows& w, fWebSearch& search)
    {
        find<QPushButton>(&search, u"Command4"_s)->click();
        EXPECT_TRUE(WaitUntil([&] { return !search.controller().addAllRunning(); }, 90000));
        EXPECT_EQ(find<QLabel>(&search, u"Label1"_s)->text(), QString::number(kSearchPapers));
        find<QPushButton>(&search, u"Command2"_s)->click();
        const bool shown = WaitUntil([&] {
            return w.downloadWindow() != nullptr && w.downloadWindow()->isVisible()
                && w.downloadWindow()->engine().list().count() == kSearchPapers;
        }, 10000);
        return shown ? w.downloadWindow() : nullptr;
    }

    static bool allSettled(fFileDownload& window)
    {
        const DownloadList& list = window.engine().list();
        const StateCounts counts = list.CountByState();
        return counts.Waiting == 0 && counts.Downloading == 0 && !window.engine().scheduler().SchedulerEnabled();
    }

    // The sign-in panel filled as a user would, "自动登录" ticked, then hidden.
    void setAutomaticLogin(fFileDownload& window)
    {
        find<QPushButton>(&window, u"Command1"_s)->click();
        find<QLineEdit>(&window, u"Text1"_s)->setText(site.url(u"/action/showLogin"_s));
        find<QLineEdit>(&window, u"Text2"_s)->setText(QString::fromLatin1(DemoSite::kAccount));
        find<QLineEdit>(&window, u"Text3"_s)->setText(QString::fromLatin1(DemoSite::kPassword));
        auto* automatic = find<QCheckBox>(&window, u"Check2"_s);
        automatic->click();
        EXPECT_TRUE(automatic->isChecked());
        find<QPushButton>(&window, u"Command3"_s)->click();
        // As a user does: the panel is closed and its page has settled before "开始下载".
        auto* web = find<QWebEngineView>(&window, u"Web1"_s);
        EXPECT_TRUE(WaitUntil([web] { return web->page() != nullptr && !web->page()->isLoading(); }, 10000));
    }

    static void trigger(QMenu* menu, const QStringList& path)
    {
        for (QAction* action : menu->actions()) {
            if (action->text() != path.front())
                continue;
            if (path.size() == 1)
                action->trigger();
            else
                trigger(action->menu(), path.mid(1));
            return;
        }
        ADD_FAILURE() << "no menu entry " << path.join(u" > "_s).toStdString();
    }

    int requestsTo(const QString& path)
    {
        int n = 0;
        for (const TestHttpServer::Request& r : site.server().requests)
            n += QUrl(QString::fromUtf8(r.Target)).path() == path ? 1 : 0;
        return n;
    }

    // Every file in the folder, hidden ones too: a part file shows here.
    QStringList folderContents() const
    {
        return QDir(papers).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

    // The whole road after the search: auto login on the first web page,
    // "重新下载 ▸ 网页类型文件", and the papers in the folder.
    void downloadSignInAndAgain(fFileDownload& window)
    {
        setAutomaticLogin(window);
        find<QPushButton>(&window, u"Command4"_s)->click();
        ASSERT_TRUE(WaitUntil([&] { return allSettled(window); }, 120000));
        // The site answered with its sign-in page: web page results, and an
        // automatic sign-in. Pages that arrive while it runs start none; one
        // that was under way when it ended may start another, never one per page.
        const DownloadList& list = window.engine().list();
        const int webPages = list.CountBadResults();
        ASSERT_GT(webPages, 0);
        ASSERT_TRUE(WaitUntil([&] { return !window.login().loginRunning(); }, 60000));
        const int logins = requestsTo(u"/action/doLogin"_s);
        EXPECT_GE(logins, 1);
        if (webPages > 1)
            EXPECT_LT(logins, webPages);
        for (int p = 1; p <= list.count(); ++p) {
            const DownloadTask& task = *list.TaskAt(p);
            if (task.Type == u"htm"_s)
                EXPECT_TRUE(QFile::exists(task.Folder + task.Name + u".htm"_s)) << task.Name.toStdString();
        }

        trigger(window.findChild<QMenu*>(u"mnuList"_s), {u"重新下载"_s, u"网页类型文件(HTM/HTML/xml)项"_s});
        find<QPushButton>(&window, u"Command4"_s)->click();
        ASSERT_TRUE(WaitUntil([&] { return allSettled(window); }, 120000));
    }

    void expectEveryPaperInTheFolder(fFileDownload& window)
    {
        const DownloadList& list = window.engine().list();
        QStringList expected;
        for (int p = 1; p <= list.count(); ++p) {
            const DownloadTask& task = *list.TaskAt(p);
            const QString doi = QUrl(task.Url).path().section(u"/doi/pdf/"_s, 1);
            ASSERT_TRUE(site.papers().contains(doi)) << task.Url.toStdString();
            const DemoSite::Paper paper = site.papers().value(doi);
            EXPECT_EQ(task.Name, paper.Title);
            if (doi == kLargeDoi) {
                EXPECT_EQ(task.Progress, u"大文件，跳过"_s);
                continue;
            }
            EXPECT_EQ(task.Type, u"pdf"_s) << task.Name.toStdString();
            EXPECT_EQ(task.State, TaskState::Completed) << task.Name.toStdString();
            const QString name = paper.Title + u".pdf"_s;
            expected.append(name);
            QFile file(papers + name);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            EXPECT_EQ(file.readAll(), ArticlePdf(paper.Title)) << name.toStdString();
        }
        expected.sort();
        EXPECT_EQ(folderContents(), expected);
        // A paper skipped as too large counts as finished, not as failed.
        auto* counters = find<QLabel>(&window, u"StatusBar1Panel4"_s);
        const QString expectedCounters = u"总数:9 正在下载:0 等待:0 已完成:9 失败:0"_s;
        WaitUntil([&] { return counters->text() == expectedCounters; }, 3000); // the next housekeeping tick
        EXPECT_EQ(counters->text(), expectedCounters);
    }

    ProgramCookieJar jar;
    std::unique_ptr<CookieBridge> bridge;
    DemoSite site{kSite};
    QString papers;
};

TEST_F(RoadOfAnArticleTest, SixTransfersSignInByThemselvesAndFetchEveryPaper)
{
    MainWindows& w = windows(site.url(u"/"_s));
    fWebSearch* search = searchFromTheCover(w);
    ASSERT_NE(search, nullptr);
    fFileDownload* window = addAllAndHandOff(w, *search);
    ASSERT_NE(window, nullptr);
    savePicture(*search, u"road-fwebsearch"_s);
    window->resize(1200, 640);
    find<QComboBox>(window, u"Combo1"_s)->setCurrentIndex(5);
    EXPECT_EQ(window->engine().scheduler().switches().ThreadCount, 6);

    downloadSignInAndAgain(*window);
    expectEveryPaperInTheFolder(*window);
    // Method two sends no referring page.
    for (const TestHttpServer::Request& r : site.server().requests) {
        if (r.Target.startsWith("/doi/pdf/"))
            EXPECT_FALSE(r.Headers.contains("referer")) << r.Target.constData();
    }

    // The sign-in panel shows the page the automatic login left.
    find<QPushButton>(window, u"Command1"_s)->click();
    QTest::qWait(400); // painted a moment after it is complete
    savePicture(*window, u"road-login-panel"_s);
    find<QPushButton>(window, u"Command3"_s)->click();
    savePicture(*window, u"road-ffiledownload-done"_s);
    savePicture(w.cover(), u"road-fcover"_s);
}

TEST_F(RoadOfAnArticleTest, MethodOneThroughAProxySendsTheResultPageAsReferer)
{
    TinyproxyProcess proxy;
    ASSERT_TRUE(proxy.start());
    settings.setDownloadMethod(1);
    settings.setUseProxy(true);
    settings.setProxyAddress(u"127.0.0.1"_s);
    settings.setProxyPort(QString::number(proxy.port()));

    MainWindows& w = windows(site.url(u"/"_s));
    fWebSearch* search = searchFromTheCover(w);
    ASSERT_NE(search, nullptr);
    fFileDownload* window = addAllAndHandOff(w, *search);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->engine().scheduler().DownloadMethod(), 1);

    downloadSignInAndAgain(*window);
    expectEveryPaperInTheFolder(*window);

    // Every paper went through the proxy with the page it was found on.
    const DownloadList& list = window->engine().list();
    int checked = 0;
    for (const TestHttpServer::Request& r : site.server().requests) {
        if (!r.Target.startsWith("/doi/pdf/"))
            continue;
        const QString address = site.url(QString::fromUtf8(r.Target));
        const DownloadTask* task = list.TaskAt(list.positionOfUrl(address));
        ASSERT_NE(task, nullptr) << r.Target.constData();
        EXPECT_EQ(QString::fromUtf8(r.Headers.value("referer")), task->Referer) << r.Target.constData();
        EXPECT_TRUE(QUrl(task->Referer).path() == u"/action/doSearch"_s) << task->Referer.toStdString();
        EXPECT_TRUE(r.Headers.value("via").contains("tinyproxy")) << r.Target.constData();
        ++checked;
    }
    EXPECT_GT(checked, kSearchPapers); // before and after the sign-in
    // The three result pages each referred to their own three papers.
    QSet<QString> pages;
    for (int p = 1; p <= list.count(); ++p)
        pages.insert(list.TaskAt(p)->Referer);
    EXPECT_EQ(pages.size(), 3);
}

// A paper behind the site's bot check: the parallel method is refused, and
// the fallback fetches it through the browser after opening its result page.
TEST_F(RoadOfAnArticleTest, APaperBehindTheBotCheckArrivesThroughTheBrowser)
{
    jar.setCookiesFromUrl({QNetworkCookie("demo_member", "yes")}, QUrl(site.url(u"/"_s)));
    MainWindows& w = windows(site.url(u"/toc/guarded.html"_s));
    w.start();
    find<QPushButton>(&w.cover(), u"Command1"_s)->click();
    fWebSearch* search = w.searchWindow();
    ASSERT_NE(search, nullptr);
    ASSERT_TRUE(WaitUntil([&] {
        return search->browser().url().path() == u"/toc/guarded.html"_s && !search->browser().Busy();
    }));
    find<QPushButton>(search, u"Command9"_s)->click();
    ASSERT_TRUE(WaitUntil([&] { return find<QLabel>(search, u"Label1"_s)->text() != u"0"_s; }));
    find<QPushButton>(search, u"Command2"_s)->click();
    ASSERT_TRUE(WaitUntil([&] { return w.downloadWindow() != nullptr && w.downloadWindow()->engine().list().count() > 0; }));
    fFileDownload& window = *w.downloadWindow();
    EXPECT_EQ(window.engine().scheduler().DownloadMethod(), 2);
    EXPECT_TRUE(values.BrowserFallback); // on unless switched off
    find<QPushButton>(&window, u"Command4"_s)->click();
    ASSERT_TRUE(WaitUntil([&] { return allSettled(window); }, 120000));

    const DownloadList& list = window.engine().list();
    bool guardedSeen = false;
    for (int p = 1; p <= list.count(); ++p) {
        const DownloadTask& task = *list.TaskAt(p);
        const QString doi = QUrl(task.Url).path().section(u"/doi/pdf/"_s, 1);
        if (!site.papers().contains(doi) || !site.papers().value(doi).BotCheck)
            continue;
        guardedSeen = true;
        EXPECT_EQ(task.State, TaskState::Completed) << task.Progress.toStdString();
        EXPECT_EQ(task.Type, u"pdf"_s);
        QFile file(papers + task.Name + u".pdf"_s);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << task.Name.toStdString();
        EXPECT_EQ(file.readAll(), ArticlePdf(site.papers().value(doi).Title));
        // Refused to the parallel method first, then fetched by the browser.
        const QString path = QUrl(task.Url).path();
        EXPECT_GE(requestsTo(path), 2);
        bool byTheBrowser = false;
        for (const TestHttpServer::Request& r : site.server().requests)
            byTheBrowser |= QUrl(QString::fromUtf8(r.Target)).path() == path && r.Headers.contains("sec-fetch-mode");
        EXPECT_TRUE(byTheBrowser);
    }
    EXPECT_TRUE(guardedSeen);
    EXPECT_EQ(requestsTo(u"/action/doLogin"_s), 0); // a bot check is no sign-in page
    EXPECT_EQ(folderContents().filter(u".part"_s).size(), 0);
}

TEST_F(RoadOfAnArticleTest, ClosingWhileDownloadingAsksAndYesLeavesNoPartFile)
{
    // A reader who signed in before; papers come slowly enough to close mid-way.
    jar.setCookiesFromUrl({QNetworkCookie("demo_member", "yes")}, QUrl(site.url(u"/"_s)));
    site.setPace(24, 100);
    // Six running at one moment: without the second between starts to one
    // site, or the first small papers would be done before the sixth starts.
    settings.setSecondsBetweenHostStarts(0);
    MainWindows& w = windows(site.url(u"/"_s));
    fWebSearch* search = searchFromTheCover(w);
    ASSERT_NE(search, nullptr);
    fFileDownload* window = addAllAndHandOff(w, *search);
    ASSERT_NE(window, nullptr);
    window->resize(1200, 640);
    find<QComboBox>(window, u"Combo1"_s)->setCurrentIndex(5);
    const DownloadList& list = window->engine().list();

    find<QPushButton>(window, u"Command4"_s)->click();
    ASSERT_TRUE(WaitUntil([&] {
        for (int p = 1; p <= list.count(); ++p) {
            if (list.TaskAt(p)->State == TaskState::Downloading && list.TaskAt(p)->ReceivedBytes > 100)
                return true;
        }
        return false;
    }, 20000));
    // Six at once; the large paper was skipped at its headers, two wait.
    auto* counters = find<QLabel>(window, u"StatusBar1Panel4"_s);
    const QString running = u"总数:9 正在下载:6 等待:2 已完成:1 失败:0"_s;
    WaitUntil([&] { return counters->text() == running; }, 3000); // the next housekeeping tick
    EXPECT_EQ(counters->text(), running);
    savePicture(*window, u"road-ffiledownload-running"_s);

    // No: the window stays and the transfers go on.
    prompts.yesNoAnswers = {false};
    const qint64 before = [&] {
        qint64 sum = 0;
        for (int p = 1; p <= list.count(); ++p)
            sum += std::max<qint64>(list.TaskAt(p)->ReceivedBytes, 0);
        return sum;
    }();
    EXPECT_FALSE(window->close());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown.back().Kind, u"yesno"_s);
    EXPECT_EQ(prompts.shown.back().Text, u"正在下载文件或者下载没有完成，要强制关闭窗口吗？"_s);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->engine().scheduler().SchedulerEnabled());
    EXPECT_TRUE(WaitUntil([&] {
        qint64 sum = 0;
        for (int p = 1; p <= list.count(); ++p)
            sum += std::max<qint64>(list.TaskAt(p)->ReceivedBytes, 0);
        return sum > before + 200;
    }, 20000));

    // Yes: everything stops, and what had not arrived whole leaves nothing.
    const int completedBeforeClose = list.CountByState().Completed;
    EXPECT_LT(completedBeforeClose, kSearchPapers);
    prompts.yesNoAnswers = {true};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(prompts.shown.size(), 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.downloadWindow(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return site.server().openConnections == 0; }, 10000)); // the transfers let go
    QTest::qWait(1500); // a transfer that went on would write within this
    const QStringList left = folderContents();
    EXPECT_LT(left.size(), kSearchPapers);
    for (const QString& name : left) {
        // Only whole papers, under their titles.
        ASSERT_TRUE(name.endsWith(u".pdf"_s)) << name.toStdString();
        QFile file(papers + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), ArticlePdf(name.chopped(4))) << name.toStdString();
    }
}

} // namespace
