#include "cookiebridge.h"

#include "downloads/engine/programcookiejar.h"

#include <QUrl>
#include <QWebEngineCookieStore>

using namespace Qt::Literals::StringLiterals;

namespace {

// The address a cookie belongs to, as the browser wants it given.
QUrl originOf(const QNetworkCookie& cookie)
{
    QUrl origin;
    origin.setScheme(cookie.isSecure() ? u"https"_s : u"http"_s);
    QString host = cookie.domain();
    if (host.startsWith(u'.'))
        host.remove(0, 1);
    origin.setHost(host);
    origin.setPath(cookie.path().isEmpty() ? u"/"_s : cookie.path());
    return origin;
}

// A host-only cookie (no leading dot) goes in without a domain attribute:
// with one, the browser would hand it to every subdomain as well.
QNetworkCookie asBrowserKeepsIt(QNetworkCookie cookie)
{
    if (!cookie.domain().startsWith(u'.'))
        cookie.setDomain(QString());
    return cookie;
}

} // namespace

CookieBridge::CookieBridge(ProgramCookieJar& jar, QWebEngineCookieStore& store, QObject* parent)
    : QObject(parent)
    , m_jar(jar)
    , m_store(store)
{
    connect(&m_store, &QWebEngineCookieStore::cookieAdded, this, &CookieBridge::fromBrowserAdded);
    connect(&m_store, &QWebEngineCookieStore::cookieRemoved, this, &CookieBridge::fromBrowserRemoved);
    connect(&m_jar, &ProgramCookieJar::cookieInserted, this, &CookieBridge::toBrowser);
    connect(&m_jar, &ProgramCookieJar::cookieDeleted, this, &CookieBridge::removeFromBrowser);
    const QList<QNetworkCookie> cookies = m_jar.cookies();
    for (const QNetworkCookie& cookie : cookies)
        toBrowser(cookie);
}

void CookieBridge::fromBrowserAdded(const QNetworkCookie& cookie)
{
    // The browser reports back what the jar gave it: that changes nothing.
    m_applyingFromBrowser = true;
    m_jar.insertCookie(cookie);
    m_applyingFromBrowser = false;
}

void CookieBridge::fromBrowserRemoved(const QNetworkCookie& cookie)
{
    // When the jar replaces a cookie, the browser reports the old one removed;
    // the jar's newer value must stay.
    const QList<QNetworkCookie> cookies = m_jar.cookies();
    const bool current = std::any_of(cookies.begin(), cookies.end(), [&cookie](const QNetworkCookie& c) {
        return c.hasSameIdentifier(cookie) && c.value() == cookie.value();
    });
    if (!current)
        return;
    m_applyingFromBrowser = true;
    m_jar.deleteCookie(cookie);
    m_applyingFromBrowser = false;
}

void CookieBridge::toBrowser(const QNetworkCookie& cookie)
{
    if (!m_applyingFromBrowser)
        m_store.setCookie(asBrowserKeepsIt(cookie), originOf(cookie));
}

void CookieBridge::removeFromBrowser(const QNetworkCookie& cookie)
{
    if (!m_applyingFromBrowser)
        m_store.deleteCookie(asBrowserKeepsIt(cookie), originOf(cookie));
}
