#include "extraction.h"

#include "analysislist.h"
#include "citationextraction.h"
#include "domsnapshot.h"

#include "core/textfunctions.h"

#include <QUrl>

using namespace Qt::Literals::StringLiterals;
using textrules::trimSpaces;

namespace {

bool classEquals(const DomElement& element, QStringView expected)
{
    return trimSpaces(element.ClassName.toLower()) == expected;
}

bool classListContains(const DomElement& element, QStringView token)
{
    if (!element.ClassName.contains(token)) // most elements: no split needed
        return false;
    const QStringList tokens = element.ClassName.simplified().split(QChar(u' '), Qt::SkipEmptyParts);
    return std::any_of(tokens.begin(), tokens.end(), [&](const QString& t) { return t == token; });
}

// Only addresses a transfer can fetch become records: a "javascript:" link or
// a missing href gives no address at all.
QString fetchable(const QString& address)
{
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    return (scheme == u"http"_s || scheme == u"https"_s) && !url.host().isEmpty() ? address : QString();
}

// The entry tests the two box layouts share: exactly one INPUT, ticked when
// only ticked entries are taken, and more than one link.
bool qualifiesAsBox(const DomSnapshot& page, int entry, const ExtractionOptions& options, std::vector<int>& links)
{
    const std::vector<int> inputs = page.getElementsByTagName(entry, u"INPUT"_s);
    if (inputs.size() != 1)
        return false;
    if (options.OnlyChecked && !page.element(inputs.front())->Checked)
        return false;
    links = page.getElementsByTagName(entry, u"A"_s);
    return links.size() > 1;
}

// True, and counted, for an entry that a reader cannot see.
bool leftOutAsHidden(const DomElement& entry, const ExtractionOptions& options)
{
    if (!entry.Hidden && !entry.ZeroSize)
        return false;
    if (options.LeftOut != nullptr)
        ++*options.LeftOut;
    return true;
}

bool add(AnalysisList& list, const DomSnapshot& page, const QString& title, const QString& address,
         const QString& fileType, const ExtractionOptions& options, const QString& source, const Citation& meta)
{
    if (title.isEmpty() || address.isEmpty())
        return false;
    list.AddAnalysisRecord(title, address, page.url(), fileType, options.SavePath, source, meta);
    return true;
}

} // namespace

int ExtractPage(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list)
{
    for (const auto layout : {ParseArticleBoxes, ParseChapterBoxes, ParseResultList}) {
        if (const int found = layout(page, options, list); found > 0)
            return found;
    }
    // Tried last so that pages of the older layouts read exactly as before.
    return ParseIssueItems(page, options, list);
}

int ParseArticleBoxes(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list)
{
    int found = 0;
    for (const int div : page.getElementsByTagName(u"DIV"_s)) {
        std::vector<int> links;
        if (!classEquals(*page.element(div), u"articlebox") || !qualifiesAsBox(page, div, options, links)
            || leftOutAsHidden(*page.element(div), options))
            continue;
        const QString title = trimSpaces(page.element(links.front())->InnerText);
        QString address;
        // The first link is the title; the PDF link is one of the others.
        for (size_t i = 1; i < links.size(); ++i) {
            const DomElement& a = *page.element(links[i]);
            if (trimSpaces(a.Title).toLower() == u"download the pdf full text"_s
                && trimSpaces(a.InnerText).toLower().startsWith(u"pdf"_s)) {
                address = fetchable(trimSpaces(a.Href));
                break;
            }
        }
        if (add(list, page, title, address, u"pdf"_s, options, u"ACS"_s, BoxCitation(page, div, links)))
            ++found;
    }
    return found;
}

int ParseChapterBoxes(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list)
{
    int found = 0;
    for (const int div : page.getElementsByTagName(u"DIV"_s)) {
        std::vector<int> links;
        if (!classEquals(*page.element(div), u"articlebox chapterbox") || !qualifiesAsBox(page, div, options, links)
            || leftOutAsHidden(*page.element(div), options))
            continue;
        const DomElement& first = *page.element(links.front());
        const QString title = trimSpaces(first.InnerText);
        QString href = trimSpaces(first.Href);
        QString address;
        if (href.contains(u"/abs/"_s, Qt::CaseInsensitive))
            address = fetchable(href.replace(u"/abs/"_s, u"/pdf/"_s, Qt::CaseInsensitive));
        Citation meta = BoxCitation(page, div, links);
        meta.BookChapter = true;
        if (add(list, page, title, address, u"pdf"_s, options, u"ACSbook"_s, meta))
            ++found;
    }
    return found;
}

int ParseResultList(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list)
{
    const std::vector<int> divs = page.getElementsByTagName(u"DIV"_s);
    const auto results = std::find_if(divs.begin(), divs.end(), [&](int div) {
        return classEquals(*page.element(div), u"main-results-without-dn");
    });
    if (results == divs.end())
        return 0;
    int found = 0;
    for (const int p : page.getElementsByTagName(*results, u"P"_s)) {
        if (!classEquals(*page.element(p), u"g"))
            continue;
        const std::vector<int> links = page.getElementsByTagName(p, u"A"_s);
        if (links.empty() || leftOutAsHidden(*page.element(p), options))
            continue;
        const DomElement& a = *page.element(links.front());
        const QString title = trimSpaces(a.InnerText);
        const QString address = fetchable(trimSpaces(a.Href).replace(u"&amp;"_s, u"&"_s, Qt::CaseInsensitive));
        const QString type = address.right(4).toLower() == u".pdf"_s ? u"pdf"_s : u"htm"_s;
        Citation meta;
        meta.Doi = DoiFromAddress(address);
        if (add(list, page, title, address, type, options, u"ACS"_s, meta))
            ++found;
    }
    return found;
}

namespace {

// The article's DOI from a link to its page: the path after "/doi/", without
// a leading view word ("abs/", "full/", ...).
QString doiFromLink(const QString& href)
{
    const QUrl url(href);
    const QString path = url.path(QUrl::FullyEncoded);
    const qsizetype at = path.indexOf(u"/doi/"_s);
    if (at < 0)
        return {};
    QString doi = QUrl::fromPercentEncoding(path.sliced(at + 5).toUtf8());
    for (const QString& view : {u"abs/"_s, u"full/"_s, u"epdf/"_s, u"pdf/"_s}) {
        if (doi.startsWith(view)) {
            doi = doi.sliced(view.size());
            break;
        }
    }
    return doi;
}

QString origin(const QUrl& url)
{
    return url.toString(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo
                        | QUrl::StripTrailingSlash);
}

} // namespace

int ParseIssueItems(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list)
{
    int found = 0;
    for (int entry = 0; entry < page.size(); ++entry) {
        if (!classListContains(*page.element(entry), u"issue-item"))
            continue;
        int checkBoxes = 0;
        bool ticked = false;
        for (const int input : page.getElementsByTagName(entry, u"INPUT"_s)) {
            if (page.element(input)->Type.compare(u"checkbox"_s, Qt::CaseInsensitive) == 0) {
                ++checkBoxes;
                ticked = page.element(input)->Checked;
            }
        }
        if (checkBoxes == 1 && options.OnlyChecked && !ticked)
            continue;
        if (leftOutAsHidden(*page.element(entry), options))
            continue;

        const DomElement& box = *page.element(entry);
        int titleLink = -1;
        for (int inner = entry + 1; inner < box.End && titleLink < 0; ++inner) {
            if (!classListContains(*page.element(inner), u"issue-item_title"))
                continue;
            const std::vector<int> links = page.getElementsByTagName(inner, u"A"_s);
            if (links.empty())
                break;
            titleLink = links.front();
        }
        if (titleLink < 0)
            continue;
        const DomElement& a = *page.element(titleLink);
        const QString link = fetchable(trimSpaces(a.Href));
        const QString doi = link.isEmpty() ? QString() : doiFromLink(link);
        // The paper is fetched from the site the user is on: an "http://" link on
        // an "https://" page would otherwise send the download round a redirect,
        // or to a host whose cookies the sign-in never set.
        const QUrl pageUrl(page.url());
        const bool pageIsWeb = pageUrl.scheme() == u"http"_s || pageUrl.scheme() == u"https"_s;
        const QString site = pageIsWeb ? origin(pageUrl) : origin(QUrl(link));
        const QString address = doi.isEmpty() ? QString() : site + u"/doi/pdf/"_s + doi;
        if (add(list, page, trimSpaces(a.InnerText), address, u"pdf"_s, options, u"ACS"_s,
                IssueItemCitation(page, entry, titleLink)))
            ++found;
    }
    return found;
}

int FindNextLink(const DomSnapshot& page)
{
    std::vector<int> links = page.getElementsByTagName(u"A"_s);
    std::erase_if(links, [&page](int a) { return page.element(a)->Hidden; });
    for (const int a : links) {
        if (trimSpaces(page.element(a)->InnerText.toLower()) == u"next"_s)
            return a;
    }
    // Today's pages mark their next link by its title or class instead.
    for (const int a : links) {
        const DomElement& e = *page.element(a);
        if (trimSpaces(e.Title).toLower() == u"next page"_s || classListContains(e, u"pagination__btn--next"))
            return a;
    }
    return -1;
}
