#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

class BrowserPage;
class BrowserProfile;
class QWebEngineView;
class SearchBrowser;
class WebSearchBrowser;

// A browser pane for a window: a view over one page of the program's profile,
// with the commands and notifications a window binds to, so that windows
// outside this folder need no WebEngine header.
class WebBrowserView final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebBrowserView)

public:
    explicit WebBrowserView(BrowserProfile& profile, QWidget* parent = nullptr);
    ~WebBrowserView() override;

    // The page as the extraction workflow reads and clicks it.
    SearchBrowser& searchBrowser();

    void Navigate(const QUrl& address);
    void GoBack();
    void GoForward();
    void setSilent(bool silent);
    bool isSilent() const;
    bool Busy() const;
    QUrl url() const;
    QString title() const;
    QString statusText() const;

signals:
    void statusTextChanged(const QString& text);
    void titleChanged(const QString& title);
    void documentComplete(const QUrl& address);

private:
    QWebEngineView* m_view = nullptr;
    QPointer<BrowserPage> m_page; // the profile deletes its pages if it goes first
    WebSearchBrowser* m_search = nullptr;
};
