#include "websearchbrowser.h"

#include "browserpage.h"
#include "pagescripts.h"

#include "search/jsonsnapshot.h"

#include <QTimer>
#include <QWebEngineScript>

#include <memory>

WebSearchBrowser::WebSearchBrowser(BrowserPage& page, QObject* parent)
    : WebSearchBrowser(page, kDefaultScriptTimeoutMs, parent)
{
}

WebSearchBrowser::WebSearchBrowser(BrowserPage& page, int scriptTimeoutMs, QObject* parent)
    : SearchBrowser(parent)
    , m_page(&page)
    , m_scriptTimeoutMs(scriptTimeoutMs)
{
    connect(&page, &BrowserPage::documentComplete, this, &SearchBrowser::documentComplete);
}

void WebSearchBrowser::readPage(std::function<void(const DomSnapshot&)> onRead)
{
    runScript(SnapshotScript(), [onRead = std::move(onRead)](const QVariant& result) {
        const std::optional<DomSnapshot> page =
            result.typeId() == QMetaType::QString ? SnapshotFromJson(result.toString().toUtf8()) : std::nullopt;
        onRead(page.value_or(DomSnapshot()));
    });
}

void WebSearchBrowser::clickElement(int index, const QString& expectedTag, std::function<void(bool)> onDone)
{
    runScript(ElementActionScript(index, expectedTag, ElementAction::Click),
              [onDone = std::move(onDone)](const QVariant& result) { onDone(result.toBool()); });
}

void WebSearchBrowser::setElementValue(int index, const QString& expectedTag, const QString& value,
                                       std::function<void(bool)> onDone)
{
    runScript(ElementActionScript(index, expectedTag, ElementAction::SetValue, value),
              [onDone = std::move(onDone)](const QVariant& result) { onDone(result.toBool()); });
}

bool WebSearchBrowser::isBusy() const
{
    return m_page != nullptr && m_page->isBusy();
}

void WebSearchBrowser::runScript(const QString& script, std::function<void(const QVariant&)> onResult)
{
    // Shared by the script's callback and the time-out, whichever comes first.
    auto pending = std::make_shared<std::function<void(const QVariant&)>>(std::move(onResult));
    const auto answer = [pending](const QVariant& value) {
        if (!*pending)
            return;
        const auto callback = std::move(*pending);
        *pending = nullptr;
        callback(value);
    };
    if (m_page == nullptr) {
        QTimer::singleShot(0, this, [answer] { answer(QVariant()); });
        return;
    }
    QTimer::singleShot(m_scriptTimeoutMs, this, [answer] { answer(QVariant()); });
    QPointer<WebSearchBrowser> self(this);
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [self, answer](const QVariant& value) {
        // The page may outlive this object; then nobody is waiting.
        if (self)
            answer(value);
    });
}
