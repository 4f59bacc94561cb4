#include "fakeloginbrowser.h"

#include "search/logincontroller.h"
#include "support/recordingprompts.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const char* const kForm = "<form><input name=UserName><input type=password name=Password>"
                          "<input type=submit name=go></form>";

class LoginSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        browser.setPage(kForm);
        login.setAddress(u" https://pubs.example.org/login "_s);
        login.setAccount(u" reader "_s);
        login.setPassword(u"s3cret"_s);
    }

    bool waitForEnd(int timeoutMs = 5000)
    {
        return QTest::qWaitFor([this] { return !login.loginRunning(); }, timeoutMs);
    }

    FakeLoginBrowser browser;
    RecordingPrompts prompts;
    LoginTiming timing{.PageWaitMs = 4000, .SubmitWaitMs = 4000, .SettleMs = 30, .RefreshMs = 20};
    LoginController login{browser, prompts, timing};
};

TEST_F(LoginSequence, AccountLoginLoadsFillsSubmitsAndSettles)
{
    QSignalSpy running(&login, &LoginController::loginRunningChanged);
    QSignalSpy loading(&login, &LoginController::pageLoadingChanged);
    browser.completeAfterMs = 20;
    login.LoginToSite(false);
    EXPECT_TRUE(login.loginRunning());
    EXPECT_TRUE(login.pageLoading());
    ASSERT_TRUE(waitForEnd());

    // Nothing is read before the page is there, nothing clicked before the
    // fields are filled, and the login ends only after the submit's answer.
    const QStringList expected{u"navigate https://pubs.example.org/login"_s,
                               u"complete"_s,
                               u"read"_s,
                               u"set 4=reader"_s,
                               u"set 5=s3cret"_s,
                               u"click 6"_s,
                               u"complete"_s};
    EXPECT_EQ(browser.log, expected);
    ASSERT_EQ(running.count(), 2);
    EXPECT_TRUE(running.at(0).at(0).toBool());
    EXPECT_FALSE(running.at(1).at(0).toBool());
    ASSERT_EQ(loading.count(), 2);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(LoginSequence, ASecondRequestDuringALoginIsDropped)
{
    browser.completeAfterMs = 20;
    login.LoginToSite(true);
    login.LoginToSite(true);
    login.LoginToSite(false);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(browser.log.count(u"navigate https://pubs.example.org/login"_s), 1);
    // Once over, the next request runs again.
    login.LoginToSite(true);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(browser.log.count(u"navigate https://pubs.example.org/login"_s), 2);
}

TEST_F(LoginSequence, APageThatNeverFinishesIsGivenUpAfterTheWait)
{
    LoginTiming shortWaits = timing;
    shortWaits.PageWaitMs = 60;
    shortWaits.SubmitWaitMs = 60;
    LoginController quick(browser, prompts, shortWaits);
    quick.setAddress(u"https://pubs.example.org/login"_s);
    quick.setAccount(u"reader"_s);
    quick.setPassword(u"s3cret"_s);
    browser.completeAfterMs = -1;
    QElapsedTimer clock;
    clock.start();
    quick.LoginToSite(true);
    QTest::qWait(20);
    EXPECT_EQ(browser.log, QStringList{u"navigate https://pubs.example.org/login"_s}) << "read before the wait ran out";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !quick.loginRunning(); }, 5000));
    // The steps went on regardless: filled, clicked, waited again, settled.
    EXPECT_EQ(browser.log.count(u"click 6"_s), 1);
    EXPECT_GE(clock.elapsed(), 60 + 60 + 30);
}

TEST_F(LoginSequence, TheSettleWaitRunsAfterTheSubmitsAnswer)
{
    LoginTiming longSettle = timing;
    longSettle.SettleMs = 300;
    LoginController slow(browser, prompts, longSettle);
    slow.setAddress(u"https://pubs.example.org/login"_s);
    slow.setAccount(u"reader"_s);
    slow.setPassword(u"s3cret"_s);
    slow.LoginToSite(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser.log.count(u"complete"_s) == 2; }, 5000));
    EXPECT_TRUE(slow.loginRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !slow.loginRunning(); }, 5000));
}

TEST_F(LoginSequence, NothingToSubmitStillSettlesAndEnds)
{
    struct Case {
        const char* label;
        const char* html;
        LoginMode mode;
        QStringList afterRead;
    };
    const Case cases[] = {
        {"no document", "", LoginMode::Account, {}},
        {"no matching inputs", "<input name=q><input type=submit>", LoginMode::Account, {}},
        {"one field only", "<input name=account><input name=pass><input type=submit>", LoginMode::Account,
         {u"set 4=s3cret"_s}},
        {"no submitip", "<input type=submit id=submit>", LoginMode::Ip, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        browser.log.clear();
        if (*c.html == '\0')
            browser.page = DomSnapshot();
        else
            browser.setPage(c.html);
        login.setMode(c.mode);
        login.LoginToSite(true);
        ASSERT_TRUE(waitForEnd());
        const QStringList expected = QStringList{u"navigate https://pubs.example.org/login"_s, u"complete"_s, u"read"_s}
                                   + c.afterRead;
        EXPECT_EQ(browser.log, expected);
    }
}

TEST_F(LoginSequence, IpLoginClicksTheSubmitIpElementWithoutCredentials)
{
    browser.setPage("<p>Sign in by address</p><a id=submitip href='#'>IP</a>");
    login.setAccount({});
    login.setPassword({});
    login.setMode(LoginMode::Ip);
    login.LoginToSite(false);
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(browser.log.mid(2), (QStringList{u"read"_s, u"click 4"_s, u"complete"_s}));
}

TEST_F(LoginSequence, AMissedClickWaitsForNoAnswer)
{
    LoginTiming longWait = timing;
    longWait.SubmitWaitMs = 60000;
    LoginController login2(browser, prompts, longWait);
    login2.setAddress(u"https://pubs.example.org/login"_s);
    login2.setAccount(u"reader"_s);
    login2.setPassword(u"s3cret"_s);
    browser.clickFinds = false;
    login2.LoginToSite(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !login2.loginRunning(); }, 5000));
    EXPECT_TRUE(browser.log.contains(u"click 6 (missed)"_s));
}

TEST(LoginRefusals, MissingAddressOrCredentials)
{
    struct Case {
        const char* label;
        QString address, account, password;
        LoginMode mode;
        QString message; // empty: the login starts
    };
    const QString noAddress = u"必须先设置登录网址！"_s;
    const QString noCredentials = u"帐号登录,必须先设置登录帐号和登录密码！"_s;
    const Case cases[] = {
        {"no address", u"  "_s, u"reader"_s, u"s3cret"_s, LoginMode::Account, noAddress},
        {"no address, IP login", {}, {}, {}, LoginMode::Ip, noAddress},
        {"no account", u"https://a.example/"_s, u" "_s, u"s3cret"_s, LoginMode::Account, noCredentials},
        {"no password", u"https://a.example/"_s, u"reader"_s, u"  "_s, LoginMode::Account, noCredentials},
        {"IP login needs no credentials", u"https://a.example/"_s, {}, {}, LoginMode::Ip, {}},
        {"all there", u"https://a.example/"_s, u"reader"_s, u"s3cret"_s, LoginMode::Account, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const bool silent : {false, true}) {
            FakeLoginBrowser browser;
            browser.completeAfterMs = -1;
            RecordingPrompts prompts;
            LoginController login(browser, prompts);
            login.setAddress(c.address);
            login.setAccount(c.account);
            login.setPassword(c.password);
            login.setMode(c.mode);
            QSignalSpy refused(&login, &LoginController::autoLoginRefused);
            login.LoginToSite(silent);
            const bool refusedNow = !c.message.isEmpty();
            EXPECT_EQ(login.loginRunning(), !refusedNow);
            EXPECT_EQ(refused.count(), refusedNow ? 1 : 0);
            EXPECT_EQ(browser.log.isEmpty(), refusedNow);
            EXPECT_EQ(prompts.messages(), refusedNow && !silent ? QStringList{c.message} : QStringList{});
            if (refusedNow && !silent)
                EXPECT_EQ(prompts.shown.first().Icon, MessageIcon::Error);

            // Ticking "自动登录" asks the same, always aloud.
            RecordingPrompts tickPrompts;
            LoginController ticking(browser, tickPrompts);
            ticking.setAddress(c.address);
            ticking.setAccount(c.account);
            ticking.setPassword(c.password);
            ticking.setMode(c.mode);
            EXPECT_EQ(ticking.AcceptAutoLogin(), !refusedNow);
            EXPECT_EQ(tickPrompts.messages(), refusedNow ? QStringList{c.message} : QStringList{});
        }
    }
}

TEST_F(LoginSequence, LoadLoginPageWaitsForThePage)
{
    QSignalSpy loading(&login, &LoginController::pageLoadingChanged);
    browser.completeAfterMs = 30;
    login.LoadLoginPage();
    EXPECT_TRUE(login.pageLoading());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !login.pageLoading(); }, 5000));
    EXPECT_EQ(browser.log, (QStringList{u"navigate https://pubs.example.org/login"_s, u"complete"_s}));
    EXPECT_EQ(loading.count(), 2);

    login.setAddress(u"   "_s);
    login.LoadLoginPage();
    EXPECT_FALSE(login.pageLoading());
    EXPECT_EQ(browser.log.size(), 2);
}

TEST_F(LoginSequence, AutoRefreshReloadsWhileTicked)
{
    browser.completeAfterMs = 0;
    login.setAutoRefresh(true);
    EXPECT_EQ(login.refreshTimer().interval(), 20);
    ASSERT_TRUE(QTest::qWaitFor([this] { return browser.log.count(u"refresh"_s) >= 2; }, 5000));
    login.setAutoRefresh(false);
    const qsizetype refreshes = browser.log.count(u"refresh"_s);
    QTest::qWait(80);
    EXPECT_EQ(browser.log.count(u"refresh"_s), refreshes);
}

} // namespace
