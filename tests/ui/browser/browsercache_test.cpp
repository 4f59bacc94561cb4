#include "browsertesting.h"

#include "core/browsercache.h"
#include "support/testhttpserver.h"

#include <QWebEngineProfile>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

// What the browser has written for an address: its body size once complete.
std::optional<qint64> cachedBody(const BrowserCache& cache, const QString& url)
{
    for (const CacheEntryHead& entry : cache.Entries().Entries) {
        if (entry.Url == url) {
            if (const auto body = ReadCacheEntryBody(entry.FilePath, entry.KeyLength))
                return body->Size;
        }
    }
    return std::nullopt;
}

// The entry files the real browser writes are read as it wrote them: the
// addresses it loaded, the bodies it got; clearing through the running
// browser empties them.
TEST(BrowserCacheOnDisk, ListsWhatTheBrowserLoadedAndClears)
{
    BrowserProfile& profile = SharedProfile();
    const BrowserCache cache(BrowserCache::EntryFolderOf(profile.cachePath()),
                             [&profile] { profile.profile()->clearHttpCache(); });

    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    TestHttpServer::Route page;
    page.ContentType = "text/html";
    page.Headers = {{"Cache-Control", "max-age=3600"}};
    page.Body = "<html><body><img src='/figure.png'>" + QByteArray(5000, 'p') + "</body></html>";
    server.route("/article.html", page);
    TestHttpServer::Route figure = page;
    figure.ContentType = "image/png";
    figure.Body = "\x89PNG\r\n\x1a\n" + QByteArray(3000, 'i');
    server.route("/figure.png", figure);
    TestHttpServer::Route second = page;
    second.Body = "<html><body>second</body></html>";
    server.route("/second.html", second);

    BrowserPage browser(profile);
    ASSERT_TRUE(LoadAndWait(browser, QUrl(server.url(u"/article.html"_s))));
    ASSERT_TRUE(LoadAndWait(browser, QUrl(server.url(u"/second.html"_s))));
    const QStringList loaded = {server.url(u"/article.html"_s), server.url(u"/figure.png"_s), server.url(u"/second.html"_s)};
    const QList<qint64> sizes = {page.Body.size(), figure.Body.size(), second.Body.size()};
    ASSERT_TRUE(WaitUntil([&] {
        for (qsizetype i = 0; i < loaded.size(); ++i) {
            if (cachedBody(cache, loaded[i]) != sizes[i])
                return false;
        }
        return true;
    })) << "entries in " << cache.GetCacheFolder().toStdString();
    EXPECT_EQ(cache.GetCacheEntryFile(server.url(u"/nothing-loaded"_s)), QString());

    cache.ClearAll();
    EXPECT_TRUE(WaitUntil([&] {
        const auto entries = cache.Entries().Entries;
        return std::none_of(entries.begin(), entries.end(),
                            [&](const CacheEntryHead& entry) { return loaded.contains(entry.Url); });
    }));
}

} // namespace
