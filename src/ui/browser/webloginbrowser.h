#pragma once

#include "search/loginbrowser.h"
#include "websearchbrowser.h"

#include <QPointer>

class BrowserPage;

// The sign-in browser over a page of the program's browser: the page scripts
// read it and act on its elements by snapshot index.
class WebLoginBrowser final : public LoginBrowser {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebLoginBrowser)

public:
    explicit WebLoginBrowser(BrowserPage& page, QObject* parent = nullptr);

    void navigate(const QUrl& url) override;
    void refresh() override;
    bool isBusy() const override;
    void readPage(std::function<void(const DomSnapshot&)> onRead) override;
    void clickElement(int index, const QString& expectedTag, std::function<void(bool)> onDone) override;
    void setElementValue(int index, const QString& expectedTag, const QString& value,
                         std::function<void(bool)> onDone) override;

private:
    QPointer<BrowserPage> m_page;
    WebSearchBrowser m_scripts;
};
