#pragma once

#include <QSet>
#include <QString>

// The browser's retries after a bot check, by task address, since the last
// start: one retry each, so nothing goes back and forth between the methods;
// a retry whose host may not be asked yet waits in the queue, due, and goes
// through the browser when its task starts again.
class BrowserRetryBook final {
public:
    void clear()
    {
        m_retried.clear();
        m_due.clear();
    }
    bool hadRetry(const QString& url) const { return m_retried.contains(url); }
    void retrying(const QString& url) { m_retried.insert(url); }
    // The retry waits for its host; the task's next start is through the browser.
    void deferred(const QString& url) { m_due.insert(url); }
    bool isDue(const QString& url) const { return m_due.contains(url); }
    void started(const QString& url) { m_due.remove(url); }

private:
    QSet<QString> m_retried;
    QSet<QString> m_due;
};
