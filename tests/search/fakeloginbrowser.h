#pragma once

#include "search/htmlsnapshot.h"
#include "search/loginbrowser.h"

#include <QStringList>
#include <QTimer>

// A sign-in browser that records what it is asked to do ("navigate <url>",
// "read", "set <index>=<value>", "click <index>", "refresh", "complete") and
// answers as told: pages given as HTML, loads that finish after a delay or
// never, clicks that find their element or not.
class FakeLoginBrowser final : public LoginBrowser {
public:
    // Each load (navigation or a click that leads somewhere) completes after
    // this long; negative: never.
    int completeAfterMs = 0;
    bool clickFinds = true;
    bool clickNavigates = true;
    DomSnapshot page;
    QStringList log;

    void setPage(const char* html) { page = SnapshotFromHtml(QByteArray(html), QStringLiteral("https://pubs.example.org/login")); }

    void navigate(const QUrl& url) override
    {
        log << QStringLiteral("navigate ") + url.toString();
        startLoad();
    }
    void refresh() override
    {
        log << QStringLiteral("refresh");
        startLoad();
    }
    bool isBusy() const override { return m_busy; }
    void readPage(std::function<void(const DomSnapshot&)> onRead) override
    {
        log << QStringLiteral("read");
        const DomSnapshot shown = page;
        QTimer::singleShot(0, this, [onRead, shown] { onRead(shown); });
    }
    void clickElement(int index, const QString& tag, std::function<void(bool)> onDone) override
    {
        const bool found = clickFinds && page.element(index) != nullptr && page.element(index)->Tag == tag;
        log << QStringLiteral("click ") + QString::number(index) + (found ? QString() : QStringLiteral(" (missed)"));
        if (found && clickNavigates)
            startLoad();
        QTimer::singleShot(0, this, [onDone, found] { onDone(found); });
    }
    void setElementValue(int index, const QString& tag, const QString& value,
                         std::function<void(bool)> onDone) override
    {
        const bool found = page.element(index) != nullptr && page.element(index)->Tag == tag;
        log << QStringLiteral("set ") + QString::number(index) + u'=' + value;
        QTimer::singleShot(0, this, [onDone, found] { onDone(found); });
    }

private:
    void startLoad()
    {
        m_busy = true;
        emit busyChanged(true);
        if (completeAfterMs < 0)
            return;
        QTimer::singleShot(completeAfterMs, this, [this] {
            log << QStringLiteral("complete");
            m_busy = false;
            emit busyChanged(false);
            emit documentComplete();
        });
    }

    bool m_busy = false;
};
