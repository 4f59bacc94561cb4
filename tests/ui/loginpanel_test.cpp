#include "dialogfixture.h"
#include "downloadenginerig.h"

#include "downloads/engine/programcookiejar.h"
#include "downloads/engine/soundclips.h"
#include "search/logincontroller.h"
#include "support/recordingshell.h"
#include "support/testhttpserver.h"
#include "ui/browser/browsertesting.h"
#include "ui/browser/cookiebridge.h"
#include "ui/browser/webloginbrowser.h"
#include "ui/ffiledownload.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

struct Silence final : SoundPlayer {
    void PlayNotifySound(int) override {}
};

Route page(const QByteArray& html, const QByteArray& setCookie = {})
{
    Route route{.Body = html, .ContentType = "text/html"};
    route.SetCookie = setCookie;
    return route;
}

// A sign-in form whose field names differ from the usual ones in letter case.
const QByteArray kLoginForm = "<html><head><title>Sign in</title></head><body>"
                              "<form action=/signin method=get><input name=UserName>"
                              "<input type=password name=PassWord><input type=submit value=Go></form></body></html>";

int requestsFor(const TestHttpServer& server, const QByteArray& path)
{
    int n = 0;
    for (const TestHttpServer::Request& request : server.requests)
        n += request.Target == path || request.Target.startsWith(QByteArray(path + '?')) ? 1 : 0;
    return n;
}

class LoginPanelTest : public ::testing::Test, public DialogFixture {
protected:
    void SetUp() override { ASSERT_TRUE(server.listen()); }

    std::unique_ptr<fFileDownload> open(LoginTiming timing = {.SettleMs = 100})
    {
        if (!rig)
            rig = std::make_unique<DownloadEngineRig>(
                values, prompts, shell, sounds,
                DownloadsSetup{.UserAgent = SharedProfile().httpUserAgent(), .CookieJar = &jar});
        auto window = std::make_unique<fFileDownload>(fFileDownload::Services{
            values, settings, prompts, shell, sounds, temp.filePath(u"SaveList.dat"_s), SharedProfile(), rig->engine,
            rig->browser.transfers(), rig->browser.retries(), timing});
        window->resize(1000, 700);
        window->show();
        return window;
    }

    void fill(fFileDownload& window, const QString& address, const QString& account, const QString& password)
    {
        control<QLineEdit>(window, u"Text1"_s)->setText(address);
        control<QLineEdit>(window, u"Text2"_s)->setText(account);
        control<QLineEdit>(window, u"Text3"_s)->setText(password);
    }

    int addTask(fFileDownload& window, const QString& path)
    {
        DownloadTableModel& model = window.engine().model();
        model.AddTask(server.url(path), path.mid(1), u"pdf"_s, temp.path() + u'/', {});
        return model.list().count();
    }

    bool waitForDownloads(fFileDownload& window)
    {
        return WaitUntil([&] {
            const DownloadList& list = window.engine().list();
            return list.CountByState().Completed + list.CountByState().Failed == list.count();
        });
    }

    TestHttpServer server;
    ProgramCookieJar jar;
    CookieBridge bridge{jar, *SharedProfile().profile()->cookieStore()};
    RecordingShell shell;
    Silence sounds;
    std::unique_ptr<DownloadEngineRig> rig; // the program's engine, under every window of a test
};

TEST_F(LoginPanelTest, ThePanelLiesOverTheListAndShowsTheSelectedTask)
{
    server.route("/doi/pdf/1", page("<html><head><title>Access denied</title></head></html>"));
    auto window = open();
    auto* panel = control<QWidget>(*window, u"PicWebBK"_s);
    auto* login = control<QPushButton>(*window, u"Command1"_s);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(login->text(), u"网页登录"_s);
    EXPECT_EQ(control<QLineEdit>(*window, u"Text3"_s)->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(control<QRadioButton>(*window, u"Option4"_s)->isChecked());
    EXPECT_EQ(control<QComboBox>(*window, u"Combo3"_s)->currentText(), u"下载到网页文件(htm/html/asp)文件!"_s);
    for (const QString& box : {u"Check1"_s, u"Check2"_s})
        EXPECT_FALSE(control<QCheckBox>(*window, box)->isChecked());

    addTask(*window, u"/doi/pdf/1"_s);
    window->findChild<QTableView*>(u"ListView3"_s)->selectRow(0);
    login->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry(), window->findChild<QTableView*>(u"ListView3"_s)->geometry());
    auto* web = control<QWebEngineView>(*window, u"Web1"_s);
    ASSERT_TRUE(WaitUntil([&] { return web->title() == u"Access denied"_s; }));
    // The login page's title goes to the third status panel; the blank page's does not.
    EXPECT_TRUE(WaitUntil([&] { return control<QLabel>(*window, u"StatusBar1Panel3"_s)->text() == u"Access denied"_s; }));

    // "关闭(隐藏)" without automatic refresh leaves the page.
    click(*window, u"Command3"_s);
    EXPECT_FALSE(panel->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return web->url() == QUrl(u"about:blank"_s); }));
    EXPECT_EQ(control<QLabel>(*window, u"StatusBar1Panel3"_s)->text(), u"Access denied"_s);
}

TEST_F(LoginPanelTest, AccountLoginSignsInAndTheNextDownloadIsThePdf)
{
    server.route("/login", page(kLoginForm));
    server.route("/signin", page("<html><head><title>Welcome</title></head></html>",
                                 "member=yes; Path=/; Max-Age=3600"));
    server.route("/paper.pdf", Route{.Body = PdfBody(3000), .RequireCookie = "member=yes"});
    auto window = open();
    auto& list = window->engine().list();

    // Before the sign-in the site answers with a page.
    addTask(*window, u"/paper.pdf"_s);
    window->engine().scheduler().StartDownloads();
    ASSERT_TRUE(waitForDownloads(*window));
    EXPECT_EQ(list.TaskAt(1)->Type, u"htm"_s);

    fill(*window, server.url(u"/login"_s), u" reader "_s, u"s3cret"_s);
    auto* test = control<QPushButton>(*window, u"Command5"_s);
    test->click();
    EXPECT_FALSE(test->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return test->isEnabled(); }, 30000));
    ASSERT_EQ(requestsFor(server, "/signin"), 1);
    EXPECT_TRUE(server.requests.last().Target.contains("UserName=reader&PassWord=s3cret")
                || requestsFor(server, "/signin?UserName=reader&PassWord=s3cret") == 1);
    EXPECT_TRUE(prompts.shown.isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return !jar.cookiesForUrl(QUrl(server.url(u"/paper.pdf"_s))).isEmpty(); }));

    addTask(*window, u"/paper.pdf?again"_s);
    window->engine().scheduler().StartDownloads();
    ASSERT_TRUE(waitForDownloads(*window));
    EXPECT_EQ(list.TaskAt(2)->Type, u"pdf"_s);
    EXPECT_EQ(list.TaskAt(2)->State, TaskState::Completed);
}

TEST_F(LoginPanelTest, TickingAutoLoginChecksTheSettings)
{
    auto window = open();
    auto* autoLogin = control<QCheckBox>(*window, u"Check2"_s);
    const SchedulerSwitches& switches = window->engine().scheduler().switches();

    autoLogin->click();
    EXPECT_FALSE(autoLogin->isChecked());
    EXPECT_EQ(prompts.messages(), QStringList{u"必须先设置登录网址！"_s});

    fill(*window, server.url(u"/login"_s), u"reader"_s, {});
    autoLogin->click();
    EXPECT_FALSE(autoLogin->isChecked());
    EXPECT_EQ(prompts.messages().last(), u"帐号登录,必须先设置登录帐号和登录密码！"_s);
    EXPECT_FALSE(switches.AutoLogin);

    // IP login needs no account.
    control<QRadioButton>(*window, u"Option5"_s)->setChecked(true);
    autoLogin->click();
    EXPECT_TRUE(autoLogin->isChecked());
    EXPECT_TRUE(switches.AutoLogin);
    EXPECT_EQ(prompts.shown.size(), 2);

    // A login that finds its address gone unticks the box, silently or not.
    fill(*window, {}, {}, {});
    click(*window, u"Command5"_s);
    EXPECT_FALSE(autoLogin->isChecked());
    EXPECT_FALSE(switches.AutoLogin);
    EXPECT_EQ(prompts.messages().last(), u"必须先设置登录网址！"_s);
}

TEST_F(LoginPanelTest, AWebPageResultStartsOneSilentLogin)
{
    server.route("/login", page("<html><body><form action=/ipsignin><input type=submit id=submitip>"
                                "</form></body></html>"));
    server.route("/ipsignin", page("<html><head><title>Signed in</title></head></html>"));
    server.route("/denied", page("<html><body>please sign in</body></html>"));
    server.route("/paper.pdf", Route{.Body = PdfBody(2000)});
    auto window = open({.SettleMs = 2000});
    fill(*window, server.url(u"/login"_s), {}, {});
    control<QRadioButton>(*window, u"Option5"_s)->setChecked(true);
    control<QCheckBox>(*window, u"Check2"_s)->click();
    ASSERT_TRUE(window->engine().scheduler().switches().AutoLogin);

    // A PDF starts none.
    addTask(*window, u"/paper.pdf"_s);
    window->engine().scheduler().StartDownloads();
    ASSERT_TRUE(waitForDownloads(*window));
    EXPECT_FALSE(window->login().loginRunning());
    EXPECT_EQ(requestsFor(server, "/login"), 0);

    // Two pages at once: the second arrives while the first one's login runs.
    addTask(*window, u"/denied?1"_s);
    addTask(*window, u"/denied?2"_s);
    window->engine().scheduler().StartDownloads();
    ASSERT_TRUE(waitForDownloads(*window));
    EXPECT_TRUE(window->login().loginRunning());
    ASSERT_TRUE(WaitUntil([&] { return !window->login().loginRunning(); }, 30000));
    EXPECT_EQ(requestsFor(server, "/login"), 1);
    // IP login clicked the element with the id "submitip".
    EXPECT_EQ(requestsFor(server, "/ipsignin"), 1);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(LoginPanelTest, AutomaticRefreshReloadsAndKeepsThePageWhenHidden)
{
    server.route("/login", page(kLoginForm));
    auto window = open({.SettleMs = 100, .RefreshMs = 300});
    fill(*window, server.url(u"/login"_s), {}, {});
    click(*window, u"Command1"_s);
    click(*window, u"Command2"_s);
    EXPECT_FALSE(control<QPushButton>(*window, u"Command2"_s)->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return control<QPushButton>(*window, u"Command2"_s)->isEnabled(); }));
    ASSERT_EQ(requestsFor(server, "/login"), 1);

    control<QCheckBox>(*window, u"Check1"_s)->click();
    click(*window, u"Command3"_s);
    EXPECT_FALSE(control<QWidget>(*window, u"PicWebBK"_s)->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return requestsFor(server, "/login") >= 3; }));
    EXPECT_EQ(control<QWebEngineView>(*window, u"Web1"_s)->url(), QUrl(server.url(u"/login"_s)));

    control<QCheckBox>(*window, u"Check1"_s)->click();
    EXPECT_FALSE(window->login().refreshTimer().isActive());
}

// The refusals of the form rules, on real pages: nothing reaches the server.
TEST_F(LoginPanelTest, FormsThatAreNotSubmitted)
{
    const struct {
        const char* label;
        QByteArray html;
    } cases[] = {
        {"user field outside the names, one password",
         "<form action=/signin><input name=account><input type=password name=password>"
         "<input type=submit></form>"},
        {"submit before the fields",
         "<form action=/signin><input type=submit><input name=user><input type=password name=pass></form>"},
    };
    BrowserPage browserPage(SharedProfile());
    browserPage.setSilent(true);
    WebLoginBrowser browser(browserPage);
    LoginController login(browser, prompts, {.SubmitWaitMs = 500, .SettleMs = 50});
    login.setAccount(u"reader"_s);
    login.setPassword(u"s3cret"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QByteArray path = "/form" + QByteArray::number(&c - cases);
        server.route(path, page("<html><body>" + c.html + "</body></html>"));
        login.setAddress(server.url(QString::fromLatin1(path)));
        login.LoginToSite(false);
        ASSERT_TRUE(WaitUntil([&] { return !login.loginRunning(); }));
        EXPECT_EQ(requestsFor(server, path), 1);
        EXPECT_EQ(requestsFor(server, "/signin"), 0);
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}

} // namespace
