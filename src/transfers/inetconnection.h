#pragma once

#include <QString>

struct ProgramValues;

// How the single-transfer method connects for one address.
struct InetConnection {
    bool UseProxy = false;
    QString ProxyHost;
    int ProxyPort = 0;
    int Port = 80;      // the port the rules give
    bool Https = false; // "https://" in any letter case
};

// The connection rules: the proxy when it is on; without it the port written
// after the host (":8080"), else 80; https always on 443.
InetConnection InetConnectionFor(const QString& url, const ProgramValues& values);

// The text of status panel 3 for a client state number (0 to 12; 11 with the
// response code and text).
QString InetStateText(int state, int responseCode = 0, const QString& responseText = {});
