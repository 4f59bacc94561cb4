#include "hostrefusal.h"

#include "botcheck.h"
#include "httpresponsehead.h"
#include "transfer.h"

#include <QRegularExpression>

HostAnswer HostAnswerOf(const HttpResponseHead& head)
{
    return HostAnswer{head.Status, QString::fromLatin1(head.header("Retry-After")).trimmed()};
}

bool IsSignInPage(QByteArrayView bodyHead)
{
    // Pages of the site are UTF-8; the markers are ASCII but for "登录".
    const QString page = QString::fromUtf8(bodyHead);
    static const QRegularExpression passwordField(
        QStringLiteral(R"(<input[^>]*\btype\s*=\s*["']?password\b)"), QRegularExpression::CaseInsensitiveOption);
    if (passwordField.match(page).hasMatch())
        return true;
    static const QRegularExpression title(QStringLiteral(R"(<title[^>]*>([^<]*)</title>)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch found = title.match(page);
    if (!found.hasMatch())
        return false;
    static const QRegularExpression signIn(QStringLiteral(R"(\b(sign|log)[\s-]?in\b|登录)"),
                                           QRegularExpression::CaseInsensitiveOption);
    return signIn.match(found.captured(1)).hasMatch();
}

HostRefusal ClassifyAnswer(int status, QByteArrayView bodyHead)
{
    if (IsBotCheckAnswer(status, bodyHead))
        return HostRefusal::BotCheck;
    if (status == 429 || status == 503)
        return HostRefusal::SlowDown;
    if (status == 403 && !IsSignInPage(bodyHead))
        return HostRefusal::Refused;
    return HostRefusal::None;
}

QString RefusalReason(HostRefusal refusal)
{
    switch (refusal) {
    case HostRefusal::BotCheck: return QString::fromUtf16(kReasonBotCheck);
    case HostRefusal::SlowDown: return QString::fromUtf16(kReasonSlowDown);
    case HostRefusal::Refused: return QString::fromUtf16(kReasonRefused);
    case HostRefusal::None: break;
    }
    return {};
}

HostRefusal RefusalOfReason(const QString& reason)
{
    for (const HostRefusal refusal : {HostRefusal::BotCheck, HostRefusal::SlowDown, HostRefusal::Refused}) {
        if (reason == RefusalReason(refusal))
            return refusal;
    }
    return HostRefusal::None;
}
