#pragma once

#include "search/searchbrowser.h"

#include <QPointer>

class BrowserPage;

// The search window's browser for the extraction workflow: reads the page
// through the snapshot script and acts on elements by snapshot index.
class WebSearchBrowser final : public SearchBrowser {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebSearchBrowser)

public:
    // A script's answer is given up after this long (a hung renderer, or a
    // document replaced while the script ran): the caller always hears back.
    static constexpr int kDefaultScriptTimeoutMs = 15000;

    explicit WebSearchBrowser(BrowserPage& page, QObject* parent = nullptr);
    WebSearchBrowser(BrowserPage& page, int scriptTimeoutMs, QObject* parent = nullptr);

    void readPage(std::function<void(const DomSnapshot&)> onRead) override;
    void clickElement(int index, const QString& expectedTag, std::function<void(bool)> onDone) override;
    bool isBusy() const override;

    // Sets an input's value, as a person typing would (input and change events).
    void setElementValue(int index, const QString& expectedTag, const QString& value,
                         std::function<void(bool)> onDone);

private:
    // Runs a script in the application world; onResult gets its value, or an
    // invalid one when the page is gone or the time-out passed. Exactly once.
    void runScript(const QString& script, std::function<void(const QVariant&)> onResult);

    QPointer<BrowserPage> m_page;
    int m_scriptTimeoutMs;
};
