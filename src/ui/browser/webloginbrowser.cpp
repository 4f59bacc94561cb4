#include "webloginbrowser.h"

#include "browserpage.h"

WebLoginBrowser::WebLoginBrowser(BrowserPage& page, QObject* parent)
    : LoginBrowser(parent)
    , m_page(&page)
    , m_scripts(page)
{
    connect(&page, &BrowserPage::documentComplete, this, &LoginBrowser::documentComplete);
    connect(&page, &BrowserPage::busyChanged, this, &LoginBrowser::busyChanged);
}

void WebLoginBrowser::navigate(const QUrl& url)
{
    if (m_page != nullptr)
        m_page->load(url);
}

void WebLoginBrowser::refresh()
{
    if (m_page != nullptr)
        m_page->triggerAction(QWebEnginePage::Reload);
}

bool WebLoginBrowser::isBusy() const
{
    return m_scripts.isBusy();
}

void WebLoginBrowser::readPage(std::function<void(const DomSnapshot&)> onRead)
{
    m_scripts.readPage(std::move(onRead));
}

void WebLoginBrowser::clickElement(int index, const QString& expectedTag, std::function<void(bool)> onDone)
{
    m_scripts.clickElement(index, expectedTag, std::move(onDone));
}

void WebLoginBrowser::setElementValue(int index, const QString& expectedTag, const QString& value,
                                      std::function<void(bool)> onDone)
{
    m_scripts.setElementValue(index, expectedTag, value, std::move(onDone));
}
