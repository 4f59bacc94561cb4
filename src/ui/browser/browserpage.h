#pragma once

#include <QString>
#include <QWebEnginePage>

class BrowserProfile;
class QWebEngineLoadingInfo;

// A page of the program's browser. Script dialogs are swallowed while silent;
// a page never opens a second window (the address loads here instead) and
// cannot close its browser.
class BrowserPage final : public QWebEnginePage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserPage)

public:
    explicit BrowserPage(BrowserProfile& profile, QObject* parent = nullptr);

    // Silent: alert, confirm and prompt show nothing (confirm and prompt answer
    // as if cancelled), so no dialog stops a run over many pages.
    void setSilent(bool silent) { m_silent = silent; }
    bool isSilent() const { return m_silent; }

    // A top-level load is in progress.
    bool isBusy() const { return m_busy; }

    // The hovered link's address, else the state of the load.
    QString statusText() const;

signals:
    void busyChanged(bool busy);
    // The top-level document finished loading (also as an error page).
    void documentComplete(const QUrl& url);
    void statusTextChanged(const QString& text);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;

private:
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onLinkHovered(const QString& url);
    void setBusy(bool busy);

    bool m_silent = false;
    bool m_busy = false;
    QString m_hoveredLink;
    QString m_loadText;
};
