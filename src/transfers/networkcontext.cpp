#include "networkcontext.h"

#include <QNetworkReply>
#include <QNetworkRequest>

using namespace Qt::Literals::StringLiterals;

QNetworkRequest MakeTransferRequest(const NetworkContext& context, const QUrl& url)
{
    QNetworkRequest request(url);
    if (!context.UserAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, context.UserAgent);
    // The file's own bytes: with compression the announced length would be the
    // compressed one and never match what is written.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(20);
    return request;
}

void GuardRedirects(QNetworkReply* reply)
{
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& target) {
        const QString scheme = target.scheme().toLower();
        if (scheme == u"http"_s || scheme == u"https"_s)
            emit reply->redirectAllowed();
        // Otherwise the reply ends with an "insecure redirect" error.
    });
}

void AbandonReply(QPointer<QNetworkReply>& reply, QObject* receiver)
{
    QNetworkReply* abandoned = reply;
    reply = nullptr;
    if (abandoned == nullptr)
        return;
    abandoned->disconnect(receiver);
    abandoned->abort();
    abandoned->deleteLater();
}
