#include "urlfunctions.h"

#include "textfunctions.h"

using namespace Qt::Literals::StringLiterals;

QString UrlSiteRoot(const QString& url)
{
    const qsizetype scheme = url.indexOf(u"://"_s);
    if (scheme >= 0) {
        const qsizetype hostStart = scheme + 3;
        const qsizetype slash = url.indexOf(u'/', hostStart);
        return slash > hostStart ? url.first(slash) : url;
    }
    // Without a scheme a leading "a/" or "ab/" is not taken for a host.
    const qsizetype slash = url.indexOf(u'/');
    return slash >= 3 ? url.first(slash) : url;
}

namespace {

void cutBefore(QString& text, QChar c)
{
    const qsizetype at = text.indexOf(c);
    if (at >= 0)
        text.truncate(at);
}

} // namespace

QString UrlFileExtension(const QString& url)
{
    QString s = url;
    const qsizetype first = s.indexOf(u"://"_s);
    if (first >= 0) {
        const qsizetype second = s.indexOf(u"://"_s, first + 3);
        s = second >= 0 ? s.sliced(first + 3, second - first - 3) : s.sliced(first + 3);
    }
    const qsizetype sep = textrules::lastSeparator(s);
    if (sep >= 0)
        s = s.sliced(sep + 1);
    cutBefore(s, u'#');
    for (const char16_t c : {u'\b', u'\t', u'\n', u'\r', u':', u'*', u'<', u'>', u'|', u'"', u'\'', u'=', u'?'})
        cutBefore(s, QChar(c));
    const qsizetype dot = s.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QString candidate = textrules::trimSpaces(QStringView(s).sliced(dot + 1));
    return candidate.size() < 7 ? candidate : QString();
}
