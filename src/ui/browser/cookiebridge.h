#pragma once

#include <QNetworkCookie>
#include <QObject>

class ProgramCookieJar;
class QWebEngineCookieStore;

// Keeps the browser's cookies and the program's jar (the master copy) in
// step: at start the jar fills the browser, and from then on a cookie set on
// either side (by a page, a script, a sign-in, or a transfer's response)
// reaches the other. A cookie mirrored one way is never sent back.
class CookieBridge final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CookieBridge)

public:
    CookieBridge(ProgramCookieJar& jar, QWebEngineCookieStore& store, QObject* parent = nullptr);

private:
    void fromBrowserAdded(const QNetworkCookie& cookie);
    void fromBrowserRemoved(const QNetworkCookie& cookie);
    void toBrowser(const QNetworkCookie& cookie);
    void removeFromBrowser(const QNetworkCookie& cookie);

    ProgramCookieJar& m_jar;
    QWebEngineCookieStore& m_store;
    bool m_applyingFromBrowser = false;
};
