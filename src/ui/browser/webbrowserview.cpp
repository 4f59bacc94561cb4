#include "webbrowserview.h"

#include "browserpage.h"
#include "websearchbrowser.h"

#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineView>

WebBrowserView::WebBrowserView(BrowserProfile& profile, QWidget* parent)
    : QWidget(parent)
    , m_view(new QWebEngineView(this))
    , m_page(new BrowserPage(profile, this))
    , m_search(new WebSearchBrowser(*m_page, this))
{
    m_view->setPage(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_page, &BrowserPage::statusTextChanged, this, &WebBrowserView::statusTextChanged);
    connect(m_page, &QWebEnginePage::titleChanged, this, &WebBrowserView::titleChanged);
    connect(m_page, &BrowserPage::documentComplete, this, &WebBrowserView::documentComplete);
}

WebBrowserView::~WebBrowserView()
{
    // The view lets go of the page before either goes; the page before the profile.
    delete m_view;
    delete m_search;
    delete m_page;
}

SearchBrowser& WebBrowserView::searchBrowser()
{
    return *m_search;
}

void WebBrowserView::Navigate(const QUrl& address)
{
    m_page->load(address);
}

void WebBrowserView::GoBack()
{
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebBrowserView::GoForward()
{
    m_page->triggerAction(QWebEnginePage::Forward);
}

void WebBrowserView::setSilent(bool silent)
{
    m_page->setSilent(silent);
}

bool WebBrowserView::isSilent() const
{
    return m_page->isSilent();
}

bool WebBrowserView::Busy() const
{
    return m_page->isBusy();
}

QUrl WebBrowserView::url() const
{
    return m_page->url();
}

QString WebBrowserView::title() const
{
    return m_page->title();
}

QString WebBrowserView::statusText() const
{
    return m_page->statusText();
}
