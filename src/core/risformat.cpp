#include "risformat.h"

using namespace Qt::Literals::StringLiterals;
using namespace citationtext;

namespace {

void tag(QString& out, const char* name, const QString& value)
{
    const QString line = oneLine(value);
    if (line.isEmpty())
        return;
    out += QLatin1StringView(name) + u"  - "_s + line + u"\r\n"_s;
}

void record(QString& out, const CitedArticle& article)
{
    const Citation& c = article.Meta;
    out += c.BookChapter ? u"TY  - CHAP\r\n"_s : u"TY  - JOUR\r\n"_s;
    tag(out, "TI", article.Title);
    for (const QString& author : c.Authors)
        tag(out, "AU", author);
    tag(out, c.BookChapter ? "T2" : "JO", c.Journal);
    tag(out, "PY", c.Year);
    if (const QString date = isoLikeDate(c.PublicationDate); !date.isEmpty())
        tag(out, "DA", date + u'/');
    tag(out, "VL", c.Volume);
    tag(out, "IS", c.Issue);
    const auto [first, last] = pageRange(c.Pages);
    tag(out, "SP", first);
    tag(out, "EP", last);
    tag(out, "M3", c.ArticleType);
    tag(out, "DO", c.Doi);
    tag(out, "UR", article.Url);
    if (c.OpenAccess)
        tag(out, "KW", u"Open Access"_s);
    out += u"ER  - \r\n\r\n"_s;
}

} // namespace

QString RisText(const std::vector<CitedArticle>& articles)
{
    QString out;
    for (const CitedArticle& article : articles)
        record(out, article);
    return out;
}
