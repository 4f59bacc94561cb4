#include "browsertesting.h"

#include <QFile>
#include <QSignalSpy>
#include <QEventLoop>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

std::unique_ptr<BrowserProfile>& profileSlot()
{
    static std::unique_ptr<BrowserProfile> profile;
    return profile;
}

} // namespace

BrowserProfile& SharedProfile()
{
    if (!profileSlot())
        profileSlot() = std::make_unique<BrowserProfile>();
    return *profileSlot();
}

void DeleteSharedProfile()
{
    profileSlot().reset();
}

bool WaitUntil(const std::function<bool()>& predicate, int timeoutMs)
{
    if (predicate())
        return true;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (predicate())
            loop.quit();
    });
    look.start(2);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return predicate();
}

bool LoadAndWait(BrowserPage& page, const QUrl& url, int timeoutMs)
{
    QSignalSpy complete(&page, &BrowserPage::documentComplete);
    page.load(url);
    return complete.wait(timeoutMs) || !complete.isEmpty();
}

DomSnapshot ReadNow(WebSearchBrowser& browser)
{
    std::optional<DomSnapshot> read;
    browser.readPage([&read](const DomSnapshot& page) { read = page; });
    // The caller checks what arrived.
    static_cast<void>(WaitUntil([&read] { return read.has_value(); }, 20000));
    return read.value_or(DomSnapshot());
}

bool ClickNow(WebSearchBrowser& browser, int index, const QString& tag)
{
    std::optional<bool> done;
    browser.clickElement(index, tag, [&done](bool clicked) { done = clicked; });
    // The caller checks what arrived.
    static_cast<void>(WaitUntil([&done] { return done.has_value(); }, 20000));
    return done.value_or(false);
}

QVariant RunInPage(BrowserPage& page, const QString& script)
{
    std::optional<QVariant> result;
    page.runJavaScript(script, [&result](const QVariant& value) { result = value; });
    // The caller checks what arrived.
    static_cast<void>(WaitUntil([&result] { return result.has_value(); }, 20000));
    return result.value_or(QVariant());
}

QByteArray Fixture(const QString& relativePath)
{
    QFile file(QStringLiteral(PAPERPULL_FIXTURES "/") + relativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
