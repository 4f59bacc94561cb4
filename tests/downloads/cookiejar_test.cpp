#include "downloads/engine/cookiefile.h"
#include "downloads/engine/programcookiejar.h"

#include "support/tempfolder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QDateTime kNow = QDateTime(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);

QNetworkCookie cookie(const QByteArray& name, const QByteArray& value, const QString& domain,
                      const QDateTime& expires = {}, const QString& path = u"/"_s)
{
    QNetworkCookie c(name, value);
    c.setDomain(domain);
    c.setPath(path);
    if (expires.isValid())
        c.setExpirationDate(expires);
    return c;
}

QStringList names(const QList<QNetworkCookie>& cookies)
{
    QStringList out;
    for (const QNetworkCookie& c : cookies)
        out << QString::fromLatin1(c.name() + '=' + c.value());
    return out;
}

TEST(CookieFile, KeepsLastingCookiesWithTheirAttributes)
{
    QNetworkCookie full = cookie("sid", "a b;c\x01\xff", u".pubs.example.org"_s, kNow.addDays(30), u"/doi"_s);
    full.setSecure(true);
    full.setHttpOnly(true);
    full.setSameSitePolicy(QNetworkCookie::SameSite::Lax);
    const QList<QNetworkCookie> jar{full,
                                    cookie("session", "1", u"pubs.example.org"_s),
                                    cookie("old", "1", u"pubs.example.org"_s, kNow.addSecs(-1)),
                                    cookie("host", "2", u"127.0.0.1"_s, kNow.addSecs(90))};

    const QList<QNetworkCookie> read = ReadCookieFile(WriteCookieFile(jar, kNow), kNow);
    // A session cookie ends with the run; an expired one is gone.
    ASSERT_EQ(names(read), (QStringList{QString::fromLatin1("sid=a b;c\x01\xff"), u"host=2"_s}));
    const QNetworkCookie& back = read.first();
    EXPECT_TRUE(SameCookie(back, full));
    EXPECT_EQ(back.domain(), u".pubs.example.org"_s);
    EXPECT_EQ(back.path(), u"/doi"_s);
    EXPECT_EQ(back.sameSitePolicy(), QNetworkCookie::SameSite::Lax);
    EXPECT_EQ(read.at(1).domain(), u"127.0.0.1"_s); // a host-only cookie stays host-only

    // Read later, the one that has run out since is gone as well.
    EXPECT_EQ(names(ReadCookieFile(WriteCookieFile(jar, kNow), kNow.addSecs(120))),
              QStringList{QString::fromLatin1("sid=a b;c\x01\xff")});
}

TEST(CookieFile, UnreadableTextGivesNothingOrTheReadableEntries)
{
    const QList<QByteArray> nothing{"", "not json", "[]", R"({"format": 2, "cookies": []})"};
    for (const QByteArray& text : nothing)
        EXPECT_TRUE(ReadCookieFile(text, kNow).isEmpty()) << text.constData();
    const QByteArray mixed = R"({"format": 1, "cookies": [
        {"name": "", "value": "x", "domain": "a.example", "path": "/", "expires": "2025-01-01T00:00:00.000Z"},
        {"name": "n", "value": "x", "domain": "", "path": "/", "expires": "2025-01-01T00:00:00.000Z"},
        {"name": "n", "value": "x", "domain": "a.example", "path": "/", "expires": "soon"},
        {"name": "ok", "value": "1", "domain": "a.example", "path": "/", "expires": "2025-01-01T00:00:00.000Z"}]})";
    EXPECT_EQ(names(ReadCookieFile(mixed, kNow)), QStringList{u"ok=1"_s});
}

TEST(CookieFile, SavedWholeAndForTheUserOnly)
{
    TempFolder temp;
    const QString path = temp.filePath(u"cookies.json"_s);
    ASSERT_TRUE(SaveCookieFile(path, {cookie("a", "1", u"x.example"_s, kNow.addDays(1))}, kNow));
    EXPECT_EQ(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    EXPECT_EQ(names(LoadCookieFile(path, kNow)), QStringList{u"a=1"_s});
    EXPECT_FALSE(SaveCookieFile(temp.filePath(u"missing/folder/cookies.json"_s), {}, kNow));
    EXPECT_TRUE(LoadCookieFile(temp.filePath(u"none.json"_s), kNow).isEmpty());
}

TEST(ProgramCookieJar, ReportsChangesOnlyWhenSomethingChanged)
{
    ProgramCookieJar jar;
    QSignalSpy inserted(&jar, &ProgramCookieJar::cookieInserted);
    QSignalSpy deleted(&jar, &ProgramCookieJar::cookieDeleted);
    const QDateTime later = QDateTime::currentDateTimeUtc().addDays(1);

    EXPECT_TRUE(jar.insertCookie(cookie("sid", "1", u"a.example"_s, later)));
    EXPECT_TRUE(jar.insertCookie(cookie("sid", "1", u"a.example"_s, later)));
    EXPECT_EQ(inserted.count(), 1) << "the same cookie again changes nothing";
    EXPECT_TRUE(jar.insertCookie(cookie("sid", "2", u"a.example"_s, later)));
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(names(jar.cookies()), QStringList{u"sid=2"_s});

    // A server deletes a cookie by sending it already expired.
    EXPECT_FALSE(jar.insertCookie(cookie("sid", "", u"a.example"_s, QDateTime::currentDateTimeUtc().addDays(-1))));
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_TRUE(jar.cookies().isEmpty());
    EXPECT_FALSE(jar.deleteCookie(cookie("sid", "", u"a.example"_s)));
    EXPECT_EQ(deleted.count(), 1);
}

TEST(ProgramCookieJar, CookiesKeepToTheirDomainAndPath)
{
    ProgramCookieJar jar;
    const QUrl site(u"http://127.0.0.1:8080/login"_s);
    jar.setCookiesFromUrl(QNetworkCookie::parseCookies("host=1; Path=/"), site);
    jar.setCookiesFromUrl(QNetworkCookie::parseCookies("deep=1; Path=/doi"), site);
    jar.setCookiesFromUrl(QNetworkCookie::parseCookies("wide=1; Domain=example.org; Path=/"),
                          QUrl(u"https://pubs.example.org/"_s));
    jar.setCookiesFromUrl(QNetworkCookie::parseCookies("own=1; Path=/"), QUrl(u"https://pubs.example.org/"_s));

    const struct {
        const char* url;
        QStringList sent;
    } cases[] = {
        {"http://127.0.0.1:8080/file.pdf", {u"host=1"_s}},
        {"http://127.0.0.1:9999/doi/pdf/1", {u"deep=1"_s, u"host=1"_s}},
        {"http://127.0.0.2:8080/file.pdf", {}},
        {"http://localhost:8080/file.pdf", {}},
        {"https://pubs.example.org/doi", {u"wide=1"_s, u"own=1"_s}},
        {"https://www.example.org/", {u"wide=1"_s}},
        {"https://other.example.com/", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(jar.cookiesForUrl(QUrl(QString::fromLatin1(c.url)))), c.sent) << c.url;
}

TEST(ProgramCookieJar, LastingCookiesOutliveTheJar)
{
    TempFolder temp;
    const QString path = temp.filePath(u"cookies.json"_s);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    {
        ProgramCookieJar jar;
        jar.attachFile(path);
        jar.insertCookie(cookie("lasting", "1", u"a.example"_s, now.addDays(10)));
        jar.insertCookie(cookie("short", "1", u"a.example"_s, now.addSecs(60)));
        jar.insertCookie(cookie("session", "1", u"a.example"_s));
        // Written soon after the change, without waiting for the end.
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path); }, 5000));
        jar.insertCookie(cookie("late", "1", u"a.example"_s, now.addDays(10)));
    } // the change just made is saved as the jar goes

    ProgramCookieJar again;
    again.attachFile(path);
    EXPECT_EQ(names(again.cookies()), (QStringList{u"lasting=1"_s, u"short=1"_s, u"late=1"_s}));

    ProgramCookieJar twoMinutesOn;
    twoMinutesOn.setClock([now] { return now.addSecs(120); });
    twoMinutesOn.attachFile(path);
    EXPECT_EQ(names(twoMinutesOn.cookies()), (QStringList{u"lasting=1"_s, u"late=1"_s}));
}

} // namespace
