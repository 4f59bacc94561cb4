#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QNetworkCookie>
#include <QString>

// The file that keeps the program's cookies from one run to the next: the
// cookies that outlive a session (those with an expiry date still ahead);
// session cookies end with the run, as in any browser.

// The file's text: a JSON document, one object per cookie.
QByteArray WriteCookieFile(const QList<QNetworkCookie>& cookies, const QDateTime& now);
// The cookies of a file's text still alive at `now`; entries that cannot be
// read, or lack a name or domain, are passed by.
QList<QNetworkCookie> ReadCookieFile(const QByteArray& text, const QDateTime& now);

// Written whole or not at all (a crash never leaves half a file), readable by
// the user only: the cookies carry the sign-in.
bool SaveCookieFile(const QString& path, const QList<QNetworkCookie>& cookies, const QDateTime& now);
// Empty when the file is missing or unreadable.
QList<QNetworkCookie> LoadCookieFile(const QString& path, const QDateTime& now);

// The program's cookie file, in the per-user data folder.
QString CookieFilePath();

// The same cookie as a browser keeps it: the same identity, value and
// attributes, with expiry dates compared to the second.
bool SameCookie(const QNetworkCookie& a, const QNetworkCookie& b);
