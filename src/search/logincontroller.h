#pragma once

#include "loginform.h"

#include "core/autologin.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class LoginBrowser;
class UserPrompts;

// The waits of the sign-in sequence, in milliseconds; tests shorten them.
struct LoginTiming {
    int PageWaitMs = 10000;   // for the login page to load
    int SubmitWaitMs = 10000; // for the answer to the submit click
    int SettleMs = 5000;      // for the site's cookies and scripts after that
    int RefreshMs = 60000;    // "自动刷新(每分钟)"
};

enum class LoginMode { Account, Ip };

// The login panel's logic: loads the sign-in page, fills and submits the form
// (or clicks the IP login), then lets the page settle. Each step is a state
// of its own, driven by the browser's signals and timers, so transfers and
// the scheduler run on while a login goes on. One login at a time: a request
// during one is dropped, which is what keeps a burst of web-page results from
// starting a login each. The panel's values live here only for the run;
// nothing of them is stored, and the password is never written anywhere.
class LoginController final : public QObject, public AutoLogin {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginController)

public:
    LoginController(LoginBrowser& browser, UserPrompts& prompts, LoginTiming timing = {}, QObject* parent = nullptr);
    ~LoginController() override;

    void setAddress(const QString& address) { m_address = address; }
    void setAccount(const QString& account) { m_account = account; }
    void setPassword(const QString& password) { m_password = password; }
    void setMode(LoginMode mode) { m_mode = mode; }
    LoginMode mode() const { return m_mode; }

    // "测试登录" runs it with messages, the scheduler silently after a web-page result.
    void LoginToSite(bool silent) override;
    // "浏览": loads the login page and waits for it (at most the page wait).
    void LoadLoginPage();

    // "自动登录" was ticked: whether it may stay ticked; says why not.
    bool AcceptAutoLogin();
    // "自动刷新(每分钟)": the refresh clock runs while it is ticked.
    void setAutoRefresh(bool on);
    const QTimer& refreshTimer() const { return m_refreshTimer; }

    bool loginRunning() const { return m_running; }
    bool pageLoading() const { return m_pageWait; }

signals:
    // "测试登录" is disabled while a login runs.
    void loginRunningChanged(bool running);
    // "浏览" is disabled while the login page loads.
    void pageLoadingChanged(bool loading);
    // A login could not start for want of an address or credentials:
    // "自动登录" goes off, so later downloads do not try again.
    void autoLoginRefused();

private:
    bool checkSettings(bool showMessages);
    // Waits, at most timeoutMs, until the page is loaded; then runs next.
    void waitForPage(int timeoutMs, std::function<void()> next);
    void checkWait();
    void endWait();
    void setPageWait(bool on);

    void startLogin();
    void onLoginPageLoaded();
    void fillNext(std::size_t index);
    void submit(int index, const QString& tag);
    void settle();
    void finish();

    LoginBrowser& m_browser;
    UserPrompts& m_prompts;
    LoginTiming m_timing;

    QString m_address;
    QString m_account;
    QString m_password;
    LoginMode m_mode = LoginMode::Account;

    bool m_running = false;
    bool m_loginQueued = false;   // a sign-in asked for while the panel loaded its page
    bool m_pageWait = false;      // "浏览" waits for the page
    bool m_waiting = false;       // some step waits for the page
    bool m_loginPageLoading = false; // cleared by the page's document complete
    bool m_loadStarted = false;      // a load began since the step did
    std::function<void()> m_afterWait;
    LoginFormPlan m_plan;

    QTimer m_waitTimer;
    QTimer m_settleTimer;
    QTimer m_refreshTimer; // the window's Timer2: the signed-in page is loaded again now and then
};
