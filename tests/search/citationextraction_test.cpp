#include "search/analysislist.h"
#include "search/citationextraction.h"
#include "search/extraction.h"
#include "search/htmlsnapshot.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kPageUrl = u"https://pubs.example.org/toc/jacsat/146/3"_s;

DomSnapshot fixturePage(const QString& name)
{
    QFile file(QStringLiteral(PAPERPULL_FIXTURES "/pages/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return SnapshotFromHtml(file.readAll(), kPageUrl);
}

// "doi | authors; ... | journal | year | volume | issue | pages | date | type | oa|-"
QString shown(const Citation& c)
{
    return QStringList{c.Doi, c.Authors.join(u"; "_s), c.Journal, c.Year, c.Volume, c.Issue, c.Pages,
                       c.PublicationDate, c.ArticleType, c.OpenAccess ? u"oa"_s : u"-"_s}
        .join(u" | "_s);
}

struct PageCase {
    const char* Label;
    QString File;
    QStringList Citations; // one per record, in the list's order
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << c.Label; }

class CitationTest : public ::testing::TestWithParam<PageCase> {};

// Every field the page shows, and nothing it does not: the other layouts show
// little more than the DOI in their addresses.
TEST_P(CitationTest, FieldsPerEntry)
{
    const PageCase& c = GetParam();
    AnalysisList list;
    ExtractPage(fixturePage(c.File), {false, QString()}, list);
    QStringList got;
    for (const AnalysisRecord& r : list.records())
        got.append(shown(r.Meta));
    EXPECT_EQ(got, c.Citations);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CitationTest, ::testing::Values(
    PageCase{"issue_items_full", u"issueitems-citations.html"_s, {
        u"10.1021/jacs.4c01234 | Jürgen Müller; Zoë O'Brien; Wei Zhang | Journal of the Example Chemical Society"
        " | 2024 | 146 | 3 | 1234–1240 | January 3, 2024 | Communication | oa"_s,
        u"10.1021/acs.orglett.4c00077 | Ana Lima | Organic Letters | 2024 | 26 |  |  | Feb 29, 2024 | Letter | -"_s,
        u"10.1021/acs.jpcb.3c0099 |  |  |  |  |  |  |  |  | -"_s}},
    PageCase{"issue_items_plain", u"issueitems.html"_s, {
        u"10.1021/jacs.4c00001 |  |  |  |  |  |  |  |  | -"_s,
        u"10.1021/jacs.4c00002 |  |  |  |  |  |  |  |  | -"_s,
        u"10.1021/jacs.4c00003+x |  |  |  |  |  |  |  |  | -"_s,
        u"10.1021/jacs.4c00004 |  |  |  |  |  |  |  |  | -"_s}},
    PageCase{"article_boxes_full", u"articlebox-citations.html"_s, {
        u"10.1021/ja100001a | A. B. Smith; C. Doe |  | 2010 |  |  | 1234–1240 | March 24, 2010 |  | -"_s,
        u"10.1021/ja100002b |  |  |  |  |  |  |  |  | -"_s}},
    PageCase{"article_boxes_plain", u"articlebox.html"_s, {
        u"10.1021/ja0001 |  |  |  |  |  |  |  |  | -"_s,
        u"10.1021/ja0002 |  |  |  |  |  |  |  |  | -"_s}},
    PageCase{"chapter_boxes", u"chapterbox.html"_s, {
        u"10.1021/bk-2015-1200.ch001 |  |  |  |  |  |  |  |  | -"_s,
        u"10.1021/bk-2015-1200.ch002 |  |  |  |  |  |  |  |  | -"_s}},
    PageCase{"result_list", u"resultlist.html"_s, {
        u" |  |  |  |  |  |  |  |  | -"_s,
        u"10.1021/ol0001 |  |  |  |  |  |  |  |  | -"_s,
        u"10.1021/ol0002 |  |  |  |  |  |  |  |  | -"_s}}));

TEST(Citation, ChaptersAreMarkedAsSuch)
{
    AnalysisList list;
    ExtractPage(fixturePage(u"chapterbox.html"_s), {false, QString()}, list);
    ASSERT_FALSE(list.isEmpty());
    EXPECT_TRUE(list.at(0)->Meta.BookChapter);
    AnalysisList articles;
    ExtractPage(fixturePage(u"articlebox.html"_s), {false, QString()}, articles);
    EXPECT_FALSE(articles.at(0)->Meta.BookChapter);
}

TEST(Citation, DoiFromAddressTable)
{
    const std::pair<QString, QString> cases[] = {
        {u"https://pubs.example.org/doi/abs/10.1021/ja0001"_s, u"10.1021/ja0001"_s},
        {u"https://pubs.example.org/doi/PDF/10.1021/ja0001.pdf?download=1"_s, u"10.1021/ja0001"_s},
        {u"https://pubs.example.org/doi/10.1021/a%2Fb%20c"_s, u"10.1021/a/b c"_s},
        {u"https://pubs.example.org/doi/suppl/10.1021/x/suppl_file/y.pdf"_s, u"10.1021/x/suppl_file/y"_s},
        {u"https://pubs.example.org/toc/jacsat/146/3"_s, u""_s},
        {u"https://pubs.example.org/doi/abs/not-a-doi"_s, u""_s},
        {u""_s, u""_s},
    };
    for (const auto& [address, doi] : cases)
        EXPECT_EQ(DoiFromAddress(address), doi) << address.toStdString();
}

TEST(Citation, ElementTextReadsOwnTextsInDocumentOrder)
{
    // Own texts are per element, in document order: the parts of a citation
    // line sit in elements of their own, so their order is the page's.
    const DomSnapshot parts = SnapshotFromHtml(
        "<div id=d><span>146</span> <span>(3)</span><span>, 1–2</span><script>x</script></div>", kPageUrl);
    EXPECT_EQ(ElementText(parts, parts.getElementById(u"d"_s)), u"146 (3) , 1–2"_s);
    EXPECT_EQ(ElementText(parts, -1), u""_s);
}

} // namespace
