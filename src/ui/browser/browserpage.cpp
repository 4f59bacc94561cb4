#include "browserpage.h"

#include "browserprofile.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kLoadingText = u"正在打开网页 %1"_s;
const QString kDoneText = u"完成"_s;

} // namespace

BrowserPage::BrowserPage(BrowserProfile& profile, QObject* parent)
    : QWebEnginePage(profile.profile(), parent)
{
    profile.track(this);
    connect(this, &QWebEnginePage::loadingChanged, this, &BrowserPage::onLoadingChanged);
    connect(this, &QWebEnginePage::linkHovered, this, &BrowserPage::onLinkHovered);
    // Not opening the request in a new page leaves it unhandled, so no second
    // window appears. load() rather than openIn(this): openIn drops a pending
    // runJavaScript callback.
    connect(this, &QWebEnginePage::newWindowRequested, this, [this](QWebEngineNewWindowRequest& request) {
        // A blank window is one a script means to write into; loading it here
        // would only wipe the page the user is on.
        // (The engine asks for "about:blank#blocked" when a script opens "".)
        const QUrl url = request.requestedUrl();
        const bool blank = url.isEmpty() || (url.scheme() == u"about"_s && url.path() == u"blank"_s);
        if (!blank)
            load(url);
    });
    // windowCloseRequested is left unconnected: a page script cannot close the
    // program's browser.
}

QString BrowserPage::statusText() const
{
    return m_hoveredLink.isEmpty() ? m_loadText : m_hoveredLink;
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    if (!m_silent)
        QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    return !m_silent && QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                                   QString* result)
{
    return !m_silent && QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

void BrowserPage::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    const QString before = statusText();
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        m_loadText = kLoadingText.arg(info.url().toDisplayString());
        setBusy(true);
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadFailedStatus:
        m_loadText = kDoneText;
        setBusy(false);
        emit documentComplete(info.url());
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        // Stopped, or turned into a download: the page shown is the one
        // before, and no new document is complete.
        m_loadText = kDoneText;
        setBusy(false);
        break;
    }
    if (statusText() != before)
        emit statusTextChanged(statusText());
}

void BrowserPage::onLinkHovered(const QString& url)
{
    const QString before = statusText();
    m_hoveredLink = url;
    if (statusText() != before)
        emit statusTextChanged(statusText());
}

void BrowserPage::setBusy(bool busy)
{
    if (m_busy == busy)
        return;
    m_busy = busy;
    emit busyChanged(busy);
}
