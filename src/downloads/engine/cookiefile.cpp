#include "cookiefile.h"

#include "core/programfolders.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kFormat = 1;

bool alive(const QNetworkCookie& cookie, const QDateTime& now)
{
    return !cookie.isSessionCookie() && cookie.expirationDate() > now;
}

QString sameSiteText(QNetworkCookie::SameSite policy)
{
    switch (policy) {
    case QNetworkCookie::SameSite::Default: return {};
    case QNetworkCookie::SameSite::None: return u"None"_s;
    case QNetworkCookie::SameSite::Lax: return u"Lax"_s;
    case QNetworkCookie::SameSite::Strict: return u"Strict"_s;
    }
    return {};
}

QNetworkCookie::SameSite sameSiteFromText(const QString& text)
{
    if (text == u"None"_s)
        return QNetworkCookie::SameSite::None;
    if (text == u"Lax"_s)
        return QNetworkCookie::SameSite::Lax;
    if (text == u"Strict"_s)
        return QNetworkCookie::SameSite::Strict;
    return QNetworkCookie::SameSite::Default;
}

} // namespace

QByteArray WriteCookieFile(const QList<QNetworkCookie>& cookies, const QDateTime& now)
{
    QJsonArray list;
    for (const QNetworkCookie& cookie : cookies) {
        if (!alive(cookie, now))
            continue;
        // Names and values are bytes; Latin-1 carries every byte unchanged.
        QJsonObject item{{u"name"_s, QString::fromLatin1(cookie.name())},
                         {u"value"_s, QString::fromLatin1(cookie.value())},
                         {u"domain"_s, cookie.domain()},
                         {u"path"_s, cookie.path()},
                         {u"expires"_s, cookie.expirationDate().toUTC().toString(Qt::ISODateWithMs)},
                         {u"secure"_s, cookie.isSecure()},
                         {u"httpOnly"_s, cookie.isHttpOnly()}};
        const QString sameSite = sameSiteText(cookie.sameSitePolicy());
        if (!sameSite.isEmpty())
            item.insert(u"sameSite"_s, sameSite);
        list.append(item);
    }
    return QJsonDocument(QJsonObject{{u"format"_s, kFormat}, {u"cookies"_s, list}}).toJson(QJsonDocument::Indented);
}

QList<QNetworkCookie> ReadCookieFile(const QByteArray& text, const QDateTime& now)
{
    QList<QNetworkCookie> cookies;
    const QJsonDocument document = QJsonDocument::fromJson(text);
    if (!document.isObject() || document.object().value(u"format"_s).toInt() != kFormat)
        return cookies;
    for (const QJsonValue& value : document.object().value(u"cookies"_s).toArray()) {
        const QJsonObject item = value.toObject();
        QNetworkCookie cookie(item.value(u"name"_s).toString().toLatin1(), item.value(u"value"_s).toString().toLatin1());
        cookie.setDomain(item.value(u"domain"_s).toString());
        cookie.setPath(item.value(u"path"_s).toString());
        const QDateTime expires = QDateTime::fromString(item.value(u"expires"_s).toString(), Qt::ISODateWithMs);
        if (cookie.name().isEmpty() || cookie.domain().isEmpty() || !expires.isValid())
            continue;
        cookie.setExpirationDate(expires);
        cookie.setSecure(item.value(u"secure"_s).toBool());
        cookie.setHttpOnly(item.value(u"httpOnly"_s).toBool());
        cookie.setSameSitePolicy(sameSiteFromText(item.value(u"sameSite"_s).toString()));
        if (alive(cookie, now))
            cookies.append(cookie);
    }
    return cookies;
}

bool SaveCookieFile(const QString& path, const QList<QNetworkCookie>& cookies, const QDateTime& now)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray text = WriteCookieFile(cookies, now);
    return file.write(text) == text.size() && file.commit();
}

QList<QNetworkCookie> LoadCookieFile(const QString& path, const QDateTime& now)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ReadCookieFile(file.readAll(), now);
}

QString CookieFilePath()
{
    return ProgramDataFolder() + u"/cookies.json"_s;
}

bool SameCookie(const QNetworkCookie& a, const QNetworkCookie& b)
{
    const auto seconds = [](const QNetworkCookie& c) {
        return c.isSessionCookie() ? qint64(-1) : c.expirationDate().toSecsSinceEpoch();
    };
    return a.hasSameIdentifier(b) && a.value() == b.value() && a.isSecure() == b.isSecure()
        && a.isHttpOnly() == b.isHttpOnly() && seconds(a) == seconds(b);
}
