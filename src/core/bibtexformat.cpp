#include "bibtexformat.h"

#include <QHash>

using namespace Qt::Literals::StringLiterals;
using namespace citationtext;

namespace {

QString asciiLetters(const QString& text)
{
    // Decomposed, "Müller" is "Mu" + diaeresis + "ller": the marks go, the
    // letters stay.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    for (const QChar c : decomposed) {
        if (c.unicode() < 128 && c.isLetterOrNumber())
            out += c.toLower();
    }
    return out;
}

QString letterSuffix(int n)
{
    QString out;
    do {
        out.prepend(QChar(u'a' + n % 26));
        n = n / 26 - 1;
    } while (n >= 0);
    return out;
}

void field(QString& out, const char* name, const QString& value)
{
    const QString line = oneLine(value);
    if (line.isEmpty())
        return;
    out += u"  "_s + QLatin1StringView(name) + u" = {"_s + BibTexEscape(line) + u"},\n"_s;
}

// Addresses and DOIs are read verbatim by the styles that print them, where
// "\_" would stay a backslash: only what would unbalance the braces changes.
void verbatimField(QString& out, const char* name, const QString& value)
{
    QString line = oneLine(value);
    if (line.isEmpty())
        return;
    line.replace(u'\\', u"%5C"_s).replace(u'{', u"%7B"_s).replace(u'}', u"%7D"_s);
    out += u"  "_s + QLatin1StringView(name) + u" = {"_s + line + u"},\n"_s;
}

} // namespace

QStringList BibTexKeys(const std::vector<CitedArticle>& articles)
{
    QStringList keys;
    QHash<QString, int> used;
    for (const CitedArticle& article : articles) {
        const Citation& c = article.Meta;
        QString base = asciiLetters(c.Authors.isEmpty() ? QString() : surname(c.Authors.front()));
        if (base.isEmpty())
            base = u"anon"_s;
        base += asciiLetters(c.Year);
        int& next = used[base];
        keys.append(base + letterSuffix(next++));
    }
    return keys;
}

QString BibTexEscape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += u"\\textbackslash{}"_s; break;
        case u'{': out += u"\\{"_s; break;
        case u'}': out += u"\\}"_s; break;
        case u'%': out += u"\\%"_s; break;
        case u'&': out += u"\\&"_s; break;
        case u'#': out += u"\\#"_s; break;
        case u'$': out += u"\\$"_s; break;
        case u'_': out += u"\\_"_s; break;
        case u'~': out += u"\\textasciitilde{}"_s; break;
        case u'^': out += u"\\textasciicircum{}"_s; break;
        // A bare quote is harmless inside braces to BibTeX, but some styles
        // make it active; in its own group it stays a quote everywhere.
        case u'"': out += u"{\"}"_s; break;
        default: out += c; break;
        }
    }
    return out;
}

QString BibTexText(const std::vector<CitedArticle>& articles)
{
    const QStringList keys = BibTexKeys(articles);
    QString out;
    for (size_t i = 0; i < articles.size(); ++i) {
        const CitedArticle& a = articles[i];
        const Citation& c = a.Meta;
        out += (c.BookChapter ? u"@incollection{"_s : u"@article{"_s) + keys[static_cast<qsizetype>(i)] + u",\n"_s;
        field(out, "title", a.Title);
        field(out, "author", c.Authors.join(u" and "_s));
        field(out, c.BookChapter ? "booktitle" : "journal", c.Journal);
        field(out, "year", c.Year);
        field(out, "volume", c.Volume);
        field(out, "number", c.Issue);
        const auto [first, last] = pageRange(c.Pages);
        field(out, "pages", last.isEmpty() ? first : first + u"--"_s + last);
        field(out, "date", isoLikeDate(c.PublicationDate, u'-'));
        verbatimField(out, "doi", c.Doi);
        verbatimField(out, "url", a.Url);
        if (c.OpenAccess)
            field(out, "keywords", u"open access"_s);
        out += u"}\n\n"_s;
    }
    return out;
}
