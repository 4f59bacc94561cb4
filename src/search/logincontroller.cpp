#include "logincontroller.h"

#include "loginbrowser.h"

#include "core/userprompts.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kNoAddress = u"必须先设置登录网址！"_s;
const QString kNoCredentials = u"帐号登录,必须先设置登录帐号和登录密码！"_s;

} // namespace

LoginController::LoginController(LoginBrowser& browser, UserPrompts& prompts, LoginTiming timing, QObject* parent)
    : QObject(parent)
    , m_browser(browser)
    , m_prompts(prompts)
    , m_timing(timing)
{
    m_waitTimer.setSingleShot(true);
    connect(&m_waitTimer, &QTimer::timeout, this, &LoginController::endWait);
    m_settleTimer.setSingleShot(true);
    connect(&m_settleTimer, &QTimer::timeout, this, &LoginController::finish);
    m_refreshTimer.setObjectName(u"Timer2"_s);
    m_refreshTimer.setInterval(m_timing.RefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, &m_browser, &LoginBrowser::refresh);

    // Only the document of a load that started after the step began counts:
    // the one before (often the blank page) may complete just after it.
    connect(&m_browser, &LoginBrowser::documentComplete, this, [this] {
        if (m_loadStarted)
            m_loginPageLoading = false;
        checkWait();
    });
    connect(&m_browser, &LoginBrowser::busyChanged, this, [this](bool busy) {
        if (busy)
            m_loadStarted = true;
        checkWait();
    });
}

LoginController::~LoginController() = default;

bool LoginController::checkSettings(bool showMessages)
{
    const QString* missing = nullptr;
    if (m_address.trimmed().isEmpty())
        missing = &kNoAddress;
    else if (m_mode == LoginMode::Account && (m_account.trimmed().isEmpty() || m_password.trimmed().isEmpty()))
        missing = &kNoCredentials;
    if (missing == nullptr)
        return true;
    if (showMessages)
        m_prompts.showMessage(*missing, MessageIcon::Error);
    return false;
}

bool LoginController::AcceptAutoLogin()
{
    return checkSettings(true);
}

void LoginController::LoginToSite(bool silent)
{
    if (!checkSettings(!silent)) {
        emit autoLoginRefused();
        return;
    }
    if (m_running)
        return;
    m_running = true;
    emit loginRunningChanged(true);
    // The panel is still loading a page of its own: a second navigation now
    // would replace that load without a start of its own to wait for, so the
    // sign-in begins once the page is there.
    if (m_waiting) {
        m_loginQueued = true;
        return;
    }
    startLogin();
}

void LoginController::startLogin()
{
    setPageWait(true);
    waitForPage(m_timing.PageWaitMs, [this] {
        setPageWait(false);
        onLoginPageLoaded();
    });
    m_browser.navigate(QUrl::fromUserInput(m_address.trimmed()));
}

void LoginController::LoadLoginPage()
{
    const QString address = m_address.trimmed();
    if (address.isEmpty() || m_waiting)
        return;
    setPageWait(true);
    waitForPage(m_timing.PageWaitMs, [this] {
        setPageWait(false);
        if (m_loginQueued) {
            m_loginQueued = false;
            startLogin();
        }
    });
    m_browser.navigate(QUrl::fromUserInput(address));
}

void LoginController::setAutoRefresh(bool on)
{
    if (on)
        m_refreshTimer.start();
    else
        m_refreshTimer.stop();
}

void LoginController::waitForPage(int timeoutMs, std::function<void()> next)
{
    // Set before the navigation or click has a chance to complete: the
    // document complete that clears it is the one this step waits for.
    m_loginPageLoading = true;
    m_loadStarted = false;
    m_waiting = true;
    m_afterWait = std::move(next);
    m_waitTimer.start(timeoutMs);
}

void LoginController::checkWait()
{
    if (m_waiting && !m_loginPageLoading && !m_browser.isBusy())
        endWait();
}

void LoginController::endWait()
{
    // A page that never finishes does not stop the sequence: it goes on.
    if (!m_waiting)
        return;
    m_waiting = false;
    m_waitTimer.stop();
    const auto next = std::move(m_afterWait);
    m_afterWait = nullptr;
    if (next)
        next();
}

void LoginController::setPageWait(bool on)
{
    if (m_pageWait == on)
        return;
    m_pageWait = on;
    emit pageLoadingChanged(on);
}

void LoginController::onLoginPageLoaded()
{
    QPointer<LoginController> self(this);
    m_browser.readPage([self](const DomSnapshot& page) {
        if (!self)
            return;
        if (page.isEmpty()) {
            self->settle();
            return;
        }
        if (self->m_mode == LoginMode::Ip) {
            const int button = IpLoginButton(page);
            if (button < 0)
                self->settle();
            else
                self->submit(button, page.element(button)->Tag);
            return;
        }
        self->m_plan = PlanAccountLogin(page, self->m_account, self->m_password);
        self->fillNext(0);
    });
}

void LoginController::fillNext(std::size_t index)
{
    if (index >= m_plan.Fills.size()) {
        // The values are on the page now; this copy is not kept.
        m_plan.Fills.clear();
        if (m_plan.SubmitIndex >= 0)
            submit(m_plan.SubmitIndex, m_plan.SubmitTag);
        else
            settle();
        return;
    }
    const LoginFieldFill& fill = m_plan.Fills[index];
    QPointer<LoginController> self(this);
    // A field that cannot be filled (the page changed) is passed by; the
    // submit decision was made on the page as read.
    m_browser.setElementValue(fill.Index, fill.Tag, fill.Value, [self, index](bool) {
        if (self)
            self->fillNext(index + 1);
    });
}

void LoginController::submit(int index, const QString& tag)
{
    QPointer<LoginController> self(this);
    waitForPage(m_timing.SubmitWaitMs, [self] {
        if (self)
            self->settle();
    });
    m_browser.clickElement(index, tag, [self](bool clicked) {
        // Nothing was clicked: no answer is coming to wait for.
        if (self && !clicked && self->m_waiting) {
            self->m_loginPageLoading = false;
            self->endWait();
        }
    });
}

void LoginController::settle()
{
    m_settleTimer.start(m_timing.SettleMs);
}

void LoginController::finish()
{
    m_running = false;
    emit loginRunningChanged(false);
}
