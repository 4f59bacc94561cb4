#pragma once

#include <QString>

class CurlLayer;
class QNetworkCookieJar;

// What every transfer shares: the program's one HTTP layer (its connections
// are reused across transfers), the cookie jar the browsers share, and the
// browser's user agent, without which sites behind bot protection refuse what
// the browser was given.
struct NetworkContext {
    CurlLayer* Layer = nullptr;
    QNetworkCookieJar* CookieJar = nullptr; // no cookies sent or kept when null
    QString UserAgent;
};
