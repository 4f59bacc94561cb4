#include "browsertesting.h"

#include "support/testhttpserver.h"

#include <QSignalSpy>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// One lasting profile in the user's own folders, and the user agent the
// transfers will copy is the one the browser really sends.
TEST(BrowserProfile, OneLastingProfileWhoseAgentIsSent)
{
    BrowserProfile& shared = SharedProfile();
    const QWebEngineProfile& profile = *shared.profile();
    EXPECT_EQ(profile.storageName(), u"Paperpull"_s);
    EXPECT_FALSE(profile.isOffTheRecord());
    EXPECT_EQ(profile.persistentCookiesPolicy(), QWebEngineProfile::NoPersistentCookies);
    EXPECT_EQ(profile.httpCacheType(), QWebEngineProfile::DiskHttpCache);
    EXPECT_TRUE(shared.storagePath().startsWith(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Paperpull/"_s))
        << shared.storagePath().toStdString();
    EXPECT_TRUE(shared.cachePath().startsWith(
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + u"/Paperpull/"_s))
        << shared.cachePath().toStdString();

    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    TestHttpServer::Route route;
    route.Body = "<html><body>agent</body></html>";
    route.ContentType = "text/html";
    server.route("/agent", route);
    BrowserPage page(shared);
    ASSERT_EQ(page.profile(), shared.profile());
    ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/agent"_s))));
    ASSERT_FALSE(server.requests.isEmpty());
    EXPECT_FALSE(shared.httpUserAgent().isEmpty());
    EXPECT_EQ(QString::fromUtf8(server.requests.first().Headers.value("user-agent")), shared.httpUserAgent());
}

// The engine must not outlive its pages: a page left alive when the profile
// goes is deleted first, also one shown in a view.
TEST(BrowserProfile, PagesGoBeforeTheProfile)
{
    QPointer<BrowserPage> loose = new BrowserPage(SharedProfile());
    QPointer<BrowserPage> shown = new BrowserPage(SharedProfile());
    auto view = std::make_unique<QWebEngineView>();
    view->setPage(shown);
    view->show();
    ASSERT_TRUE(LoadAndWait(*shown, QUrl(u"about:blank"_s)));
    DeleteSharedProfile();
    EXPECT_TRUE(loose.isNull());
    EXPECT_TRUE(shown.isNull());
    view.reset(); // no page left to touch
}

} // namespace
