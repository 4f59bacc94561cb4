#pragma once

#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// What every transfer shares: the program's one network manager (and with it
// the cookie jar the browsers share) and the browser's user agent, without
// which sites behind bot protection refuse what the browser was given.
struct NetworkContext {
    QNetworkAccessManager* Manager = nullptr;
    QString UserAgent;
};

// A GET request as every transfer sends it: the user agent, no compression, no
// local cache, redirects followed only between http and https.
QNetworkRequest MakeTransferRequest(const NetworkContext& context, const QUrl& url);

// Follows a redirect of the reply only to http or https addresses.
void GuardRedirects(QNetworkReply* reply);

// Ends a reply the receiver no longer wants: no more of its signals reach the
// receiver, the connection is dropped, and the reply is deleted from the event
// loop (this may run inside one of its own signals). The pointer is cleared.
void AbandonReply(QPointer<QNetworkReply>& reply, QObject* receiver);
