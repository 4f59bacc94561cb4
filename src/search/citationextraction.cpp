#include "citationextraction.h"

#include "domsnapshot.h"

#include <QRegularExpression>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

bool hasClass(const DomElement& element, QStringView token)
{
    if (!element.ClassName.contains(token, Qt::CaseInsensitive))
        return false;
    const QStringList tokens = element.ClassName.simplified().split(u' ', Qt::SkipEmptyParts);
    return std::any_of(tokens.begin(), tokens.end(),
                       [&](const QString& t) { return t.compare(token, Qt::CaseInsensitive) == 0; });
}

// The first element inside the entry (the entry itself excluded) with the class.
int firstWithClass(const DomSnapshot& page, int entry, QStringView token)
{
    const int end = page.element(entry)->End;
    for (int i = entry + 1; i < end; ++i) {
        if (hasClass(*page.element(i), token))
            return i;
    }
    return -1;
}

std::vector<int> allWithClass(const DomSnapshot& page, int entry, QStringView token)
{
    std::vector<int> found;
    const int end = page.element(entry)->End;
    for (int i = entry + 1; i < end; ++i) {
        if (hasClass(*page.element(i), token)) {
            found.push_back(i);
            i = page.element(i)->End - 1; // a match's own parts are not matches of their own
        }
    }
    return found;
}

QString textOfClass(const DomSnapshot& page, int entry, QStringView token)
{
    const int at = firstWithClass(page, entry, token);
    return at < 0 ? QString() : ElementText(page, at);
}

// Separators and labels around a shown value: ", 123-130" is "123-130",
// "Vol. 12," is "12", "Publication Date (Web): May 1, 2020" is "May 1, 2020".
QString withoutLabel(QString text, const QRegularExpression& label)
{
    text.remove(label);
    static const QRegularExpression edges(u"^[\\s,;:.]+|[\\s,;]+$"_s);
    text.remove(edges);
    // "(3)": the brackets are the page's way of setting the issue apart.
    if (text.startsWith(u'(') && text.endsWith(u')') && text.count(u'(') == 1)
        text = text.sliced(1, text.size() - 2).trimmed();
    return text;
}

QString cleanAuthor(QString name)
{
    // Footnote marks and the list's own joining words are not part of a name.
    static const QRegularExpression marks(u"^(?:and\\s+|by\\s+)|[\\s*\u2020\u2021,;]+$|\\s+and$"_s,
                                          QRegularExpression::CaseInsensitiveOption);
    QString previous;
    while (previous != name) {
        previous = name;
        name = name.trimmed().remove(marks).trimmed();
    }
    return name;
}

QStringList authorsIn(const DomSnapshot& page, int list)
{
    QStringList authors;
    std::vector<int> parts = allWithClass(page, list, u"hlFld-ContribAuthor");
    if (parts.empty())
        parts = page.getElementsByTagName(list, u"LI"_s);
    if (parts.empty()) {
        static const QRegularExpression separators(u",|\\sand\\s"_s);
        for (const QString& name : ElementText(page, list).split(separators, Qt::SkipEmptyParts))
            if (const QString clean = cleanAuthor(name); !clean.isEmpty())
                authors.append(clean);
        return authors;
    }
    for (const int part : parts)
        if (const QString clean = cleanAuthor(ElementText(page, part)); !clean.isEmpty())
            authors.append(clean);
    return authors;
}

QString yearOf(const QString& date)
{
    static const QRegularExpression year(u"\\b(1[89]\\d\\d|2\\d\\d\\d)\\b"_s);
    const QRegularExpressionMatch match = year.match(date);
    return match.hasMatch() ? match.captured(1) : QString();
}

bool isDoi(const QString& text)
{
    return text.startsWith(u"10."_s) && text.indexOf(u'/') > 3;
}

bool marksOpenAccess(const DomElement& e)
{
    static const QRegularExpression words(u"open[\\s_-]?access"_s, QRegularExpression::CaseInsensitiveOption);
    // Read from marks only (a class, an icon's title): an article titled
    // "Open access to ..." is not therefore open.
    return e.Tag != u"A"_s && (e.ClassName.contains(words) || e.Title.contains(words));
}

bool showsOpenAccess(const DomSnapshot& page, int entry)
{
    const int end = page.element(entry)->End;
    for (int i = entry + 1; i < end; ++i) {
        if (marksOpenAccess(*page.element(i)))
            return true;
    }
    return false;
}

} // namespace

QString DoiFromAddress(const QString& address)
{
    const QUrl url(address);
    const QString path = url.path(QUrl::FullyEncoded);
    const qsizetype at = path.indexOf(u"/doi/"_s, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    QString doi = QUrl::fromPercentEncoding(path.sliced(at + 5).toUtf8());
    for (const QString& view : {u"abs/"_s, u"full/"_s, u"epdf/"_s, u"pdf/"_s, u"pdfplus/"_s, u"suppl/"_s}) {
        if (doi.startsWith(view, Qt::CaseInsensitive)) {
            doi = doi.sliced(view.size());
            break;
        }
    }
    if (doi.endsWith(u".pdf"_s, Qt::CaseInsensitive))
        doi.chop(4);
    return isDoi(doi) ? doi : QString();
}

QString ElementText(const DomSnapshot& page, int element)
{
    const DomElement* e = page.element(element);
    if (e == nullptr)
        return {};
    QString text;
    for (int i = element; i < e->End; ++i) {
        const QString& own = page.element(i)->OwnText;
        if (own.isEmpty())
            continue;
        if (!text.isEmpty())
            text += u' ';
        text += own;
    }
    return text.simplified();
}

Citation IssueItemCitation(const DomSnapshot& page, int entry, int titleLink)
{
    static const QRegularExpression volumeLabel(u"^\\s*(?:vol(?:ume)?\\.?)\\s*"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression issueLabel(u"^\\s*(?:issue|no\\.?)\\s*"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression pagesLabel(u"^[\\s,]*(?:pp?\\.?)\\s+"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression none(u"^$"_s);

    Citation c;
    if (const int list = firstWithClass(page, entry, u"issue-item_loa"); list >= 0)
        c.Authors = authorsIn(page, list);
    c.Journal = withoutLabel(textOfClass(page, entry, u"issue-item_jour-name"), none);
    c.Volume = withoutLabel(textOfClass(page, entry, u"issue-item_vol-num"), volumeLabel);
    c.Issue = withoutLabel(textOfClass(page, entry, u"issue-item_issue-num"), issueLabel);
    c.Pages = withoutLabel(textOfClass(page, entry, u"issue-item_page-range"), pagesLabel);
    c.PublicationDate = withoutLabel(textOfClass(page, entry, u"pub-date-value"), none);
    c.Year = yearOf(c.PublicationDate);
    if (c.Year.isEmpty())
        c.Year = yearOf(textOfClass(page, entry, u"issue-item_year"));
    c.ArticleType = withoutLabel(textOfClass(page, entry, u"issue-item_type"), none);
    c.OpenAccess = showsOpenAccess(page, entry);
    // The title link's DOI first: it is the one the record's address is built on.
    if (titleLink >= 0)
        c.Doi = DoiFromAddress(page.element(titleLink)->Href);
    for (const int input : page.getElementsByTagName(entry, u"INPUT"_s)) {
        if (!c.Doi.isEmpty())
            break;
        if (isDoi(page.element(input)->Value.trimmed()))
            c.Doi = page.element(input)->Value.trimmed();
    }
    return c;
}

Citation BoxCitation(const DomSnapshot& page, int entry, const std::vector<int>& links)
{
    static const QRegularExpression dateLabel(u"^.*:\\s*"_s);
    static const QRegularExpression pagesLabel(u"^[\\s,]*(?:pp?\\.?)\\s+"_s, QRegularExpression::CaseInsensitiveOption);

    Citation c;
    for (const int author : allWithClass(page, entry, u"entryAuthor"))
        if (const QString clean = cleanAuthor(ElementText(page, author)); !clean.isEmpty())
            c.Authors.append(clean);
    c.PublicationDate = withoutLabel(textOfClass(page, entry, u"epubdate"), dateLabel);
    c.Year = yearOf(c.PublicationDate);
    c.Pages = withoutLabel(textOfClass(page, entry, u"articlePageRange"), pagesLabel);
    c.OpenAccess = showsOpenAccess(page, entry);
    for (const int input : page.getElementsByTagName(entry, u"INPUT"_s)) {
        if (isDoi(page.element(input)->Value.trimmed())) {
            c.Doi = page.element(input)->Value.trimmed();
            break;
        }
    }
    for (size_t i = 0; c.Doi.isEmpty() && i < links.size(); ++i)
        c.Doi = DoiFromAddress(page.element(links[i])->Href);
    return c;
}
