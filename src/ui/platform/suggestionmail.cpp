#include "suggestionmail.h"

#include "core/programnames.h"
#include "core/shell.h"

#include <QUrlQuery>

using namespace Qt::Literals::StringLiterals;

QUrl SuggestionMailLink(const QDate& today)
{
    const QString& title = programnames::kApplication;
    // The blanks inside the field texts are room for the user's answers.
    const QString body = u"软件名称："_s + title + u" 姓名：          "_s + u" Email：           "_s
                         + u" 联系地址：           "_s + u" 邮编：              "_s
                         + u" 电话：                    "_s + u" 日期："_s + today.toString(Qt::ISODate);

    // Subject and body go into the query ("?subject=...&body=..."): appended to
    // the address with "&" they would become part of the recipient.
    QUrlQuery query;
    query.addQueryItem(u"subject"_s, QString::fromUtf8(QUrl::toPercentEncoding(u"我要对["_s + title + u"]提建议"_s)));
    query.addQueryItem(u"body"_s, QString::fromUtf8(QUrl::toPercentEncoding(body)));

    QUrl link;
    link.setScheme(u"mailto"_s);
    link.setPath(QString::fromUtf16(kSuggestionMailbox));
    link.setQuery(query);
    return link;
}

bool SendSuggestionMail(Shell& shell)
{
    return shell.openAddress(SuggestionMailLink(QDate::currentDate()).toString(QUrl::FullyEncoded));
}
