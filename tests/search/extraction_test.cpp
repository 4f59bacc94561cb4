#include "search/analysislist.h"
#include "search/extraction.h"
#include "search/htmlsnapshot.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kPageUrl = u"https://pubs.example.org/action/doSearch?AllField=vinigrol"_s;

DomSnapshot fixturePage(const QString& name)
{
    QFile file(QStringLiteral(PAPERPULL_FIXTURES "/pages/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return SnapshotFromHtml(file.readAll(), kPageUrl);
}

// "title | address | type | source", one per record.
QStringList records(const AnalysisList& list)
{
    QStringList out;
    for (const AnalysisRecord& r : list.records())
        out.append(r.Title + u" | "_s + r.ArticleUrl + u" | "_s + r.FileType + u" | "_s + r.Source);
    return out;
}

struct LayoutCase {
    const char* Label;
    QString File;
    bool OnlyChecked;
    int Count;
    QStringList Records;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.Label; }

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, ExtractsTheQualifyingEntries)
{
    const LayoutCase& c = GetParam();
    AnalysisList list;
    EXPECT_EQ(ExtractPage(fixturePage(c.File), {c.OnlyChecked, u"/data/papers/"_s}, list), c.Count);
    EXPECT_EQ(records(list), c.Records);
    for (const AnalysisRecord& r : list.records()) {
        EXPECT_EQ(r.PageUrl, kPageUrl);
        EXPECT_EQ(r.SavePath, u"/data/papers/"_s);
        EXPECT_EQ(r.AnalysisState, u""_s);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, LayoutTest, ::testing::Values(
    LayoutCase{"article_boxes", u"articlebox.html"_s, false, 2, {
        u"Total Synthesis of Vinigrol | https://pubs.example.org/doi/pdf/10.1021/ja0001 | pdf | ACS"_s,
        u"Unticked & Second | https://pubs.example.org/doi/pdf/10.1021/ja0002 | pdf | ACS"_s}},
    LayoutCase{"article_boxes_only_checked", u"articlebox.html"_s, true, 1, {
        u"Total Synthesis of Vinigrol | https://pubs.example.org/doi/pdf/10.1021/ja0001 | pdf | ACS"_s}},
    LayoutCase{"chapter_boxes", u"chapterbox.html"_s, false, 2, {
        u"Chapter One | https://pubs.example.org/doi/pdf/10.1021/bk-2015-1200.ch001 | pdf | ACSbook"_s,
        u"Chapter Two (unticked) | https://pubs.example.org/doi/pdf/10.1021/bk-2015-1200.ch002 | pdf | ACSbook"_s}},
    LayoutCase{"chapter_boxes_only_checked", u"chapterbox.html"_s, true, 1, {
        u"Chapter One | https://pubs.example.org/doi/pdf/10.1021/bk-2015-1200.ch001 | pdf | ACSbook"_s}},
    LayoutCase{"result_list", u"resultlist.html"_s, false, 4, {
        u"Ampersand address | https://pubs.example.org/action/show?a=1&b=2 | htm | ACS"_s,
        u"Capital extension | https://pubs.example.org/doi/pdf/10.1021/ol0001.PDF | pdf | ACS"_s,
        u"Query after pdf | https://pubs.example.org/doi/pdf/10.1021/ol0002.pdf?download=true | htm | ACS"_s}},
    LayoutCase{"issue_items", u"issueitems.html"_s, false, 5, {
        u"Catalytic C\u2013H Activation\nin Water | https://pubs.example.org/doi/pdf/10.1021/jacs.4c00001 | pdf | ACS"_s,
        u"Unticked Entry | https://pubs.example.org/doi/pdf/10.1021/jacs.4c00002 | pdf | ACS"_s,
        u"Plain DOI Link | https://pubs.example.org/doi/pdf/10.1021/jacs.4c00003+x | pdf | ACS"_s,
        u"Nested Entry | https://pubs.example.org/doi/pdf/10.1021/jacs.4c00004 | pdf | ACS"_s}},
    LayoutCase{"issue_items_only_checked", u"issueitems.html"_s, true, 4, {
        u"Catalytic C\u2013H Activation\nin Water | https://pubs.example.org/doi/pdf/10.1021/jacs.4c00001 | pdf | ACS"_s,
        u"Plain DOI Link | https://pubs.example.org/doi/pdf/10.1021/jacs.4c00003+x | pdf | ACS"_s,
        u"Nested Entry | https://pubs.example.org/doi/pdf/10.1021/jacs.4c00004 | pdf | ACS"_s}},
    LayoutCase{"declared_gb2312", u"gbk.html"_s, false, 1, {
        u"纳米材料的合成与表征 | https://pubs.example.org/doi/pdf/10.1021/cn0001.pdf | pdf | ACS"_s}},
    LayoutCase{"malformed", u"malformed.html"_s, false, 4, {
        u"Unclosed bold title | https://pubs.example.org/doi/pdf/10.1021/ma0001.pdf | pdf | ACS"_s,
        u"Second & unclosed entity | https://pubs.example.org/doi/pdf/10.1021/ma0002.pdf | pdf | ACS"_s,
        u"Unquoted attribute | https://pubs.example.org/doi/pdf/10.1021/ma0003.pdf | pdf | ACS"_s,
        u"Inner box | https://pubs.example.org/doi/pdf/10.1021/ma0004.pdf | pdf | ACS"_s}}),
    [](const auto& testInfo) { return std::string(testInfo.param.Label); });

TEST(Extraction, ChaptersAreReadOnlyWhenNoArticleBoxQualifies)
{
    AnalysisList list;
    ParseChapterBoxes(fixturePage(u"articlebox.html"_s), {}, list);
    EXPECT_EQ(list.count(), 1); // the page has one, but ExtractPage never gets to it
    AnalysisList viaPage;
    ExtractPage(fixturePage(u"articlebox.html"_s), {}, viaPage);
    EXPECT_TRUE(std::none_of(viaPage.records().begin(), viaPage.records().end(),
                             [](const AnalysisRecord& r) { return r.Source == u"ACSbook"_s; }));
}

TEST(Extraction, EntriesAlreadyListedCountButAddNothing)
{
    AnalysisList list;
    const DomSnapshot page = fixturePage(u"articlebox.html"_s);
    EXPECT_EQ(ExtractPage(page, {}, list), 2);
    EXPECT_EQ(ExtractPage(page, {}, list), 2);
    EXPECT_EQ(list.count(), 2);
}

TEST(Extraction, PageWithoutEntriesFindsNothing)
{
    AnalysisList list;
    EXPECT_EQ(ExtractPage(SnapshotFromHtml("<p>No results</p>", kPageUrl), {}, list), 0);
    EXPECT_EQ(ExtractPage(DomSnapshot(), {}, list), 0);
    EXPECT_TRUE(list.isEmpty());
}

TEST(Extraction, CurrentLayoutFetchesFromTheSiteThePageIsOn)
{
    const QByteArray entry = "<div class='issue-item'><h5 class='issue-item_title'>"
                             "<a href='http://pubs.example.org/doi/10.1021/jacs.4c09999'>Mixed Scheme</a></h5></div>";
    const struct {
        const char* Label;
        QString PageUrl;
        QString Address;
    } cases[] = {
        {"https_page_http_link", kPageUrl, u"https://pubs.example.org/doi/pdf/10.1021/jacs.4c09999"_s},
        {"page_on_a_port", u"http://127.0.0.1:8080/results"_s, u"http://127.0.0.1:8080/doi/pdf/10.1021/jacs.4c09999"_s},
        {"saved_page_without_address", u"file:///tmp/results.html"_s,
         u"http://pubs.example.org/doi/pdf/10.1021/jacs.4c09999"_s},
    };
    for (const auto& c : cases) {
        AnalysisList list;
        ASSERT_EQ(ParseIssueItems(SnapshotFromHtml(entry, c.PageUrl), {}, list), 1) << c.Label;
        EXPECT_EQ(list.records().front().ArticleUrl, c.Address) << c.Label;
    }
}

// Markup alone says the first four are hidden; the style sheet's rules need a
// browser, which the browser test checks.
TEST(Extraction, EntriesHiddenByTheirMarkupAreLeftOutAndCounted)
{
    AnalysisList list;
    int leftOut = 0;
    const DomSnapshot page = fixturePage(u"hiddenentries.html"_s);
    ExtractPage(page, {false, QString(), &leftOut}, list);
    EXPECT_EQ(leftOut, 4);
    QStringList titles;
    for (const AnalysisRecord& r : list.records())
        titles << r.Title;
    EXPECT_FALSE(titles.contains(u"Hidden Attribute"_s));
    EXPECT_FALSE(titles.contains(u"Aria Hidden Off To The Left"_s));
    EXPECT_FALSE(titles.contains(u"Inline Display None"_s));
    EXPECT_FALSE(titles.contains(u"Ancestor Invisible"_s));
    EXPECT_TRUE(titles.contains(u"Shown Entry"_s));
    EXPECT_TRUE(titles.contains(u"Second Shown Entry"_s));
    // The empty next anchor is followed; the one hidden by markup is not.
    const DomSnapshot links = SnapshotFromHtml(
        "<a style='display:none' href=/hidden>Next</a><a class='pagination__btn--next' href=/p2></a>", kPageUrl);
    ASSERT_GE(FindNextLink(links), 0);
    EXPECT_EQ(links.element(FindNextLink(links))->Href, u"https://pubs.example.org/p2"_s);
}

TEST(FindNextLink, Table)
{
    const struct {
        const char* Label;
        QByteArray Html;
        QString Href; // "" = no next link
    } cases[] = {
        {"capitals_with_blanks", "<a href=/a>next &raquo;</a><a href=/b> NEXT </a>", u"https://pubs.example.org/b"_s},
        {"second_word_is_not_next", "<a href=/a>next page</a>", u""_s},
        {"title_fallback", "<a href=/p title=' Next Page '>&gt;</a>", u"https://pubs.example.org/p"_s},
        {"class_fallback", "<a class='pagination__btn pagination__btn--next' href=/c>&gt;</a>",
         u"https://pubs.example.org/c"_s},
        {"text_wins_over_fallback", "<a href=/p title='next page'>&gt;</a><a href=/t>Next</a>",
         u"https://pubs.example.org/t"_s},
        {"none", "<a href=/x>previous</a>", u""_s},
    };
    for (const auto& c : cases) {
        const DomSnapshot page = SnapshotFromHtml(c.Html, kPageUrl);
        const int next = FindNextLink(page);
        EXPECT_EQ(next >= 0 ? page.element(next)->Href : QString(), c.Href) << c.Label;
    }
}

TEST(Extraction, HugePageWithFiftyThousandEntries)
{
    QByteArray html = "<html><body><div class=\"main-results-without-dn\">";
    for (int i = 0; i < 50000; ++i) {
        html += "<p class=\"g\"><a href=\"https://pubs.example.org/doi/pdf/10.1021/x" + QByteArray::number(i % 40000)
            + ".pdf\">Title number " + QByteArray::number(i) + " with some padding to make the page large "
            + QByteArray(300, 'x') + "</a></p>\n";
    }
    html += "</div></body></html>";
    ASSERT_GT(html.size(), 18 * 1024 * 1024);
    AnalysisList list;
    EXPECT_EQ(ExtractPage(SnapshotFromHtml(html, kPageUrl), {}, list), 50000);
    EXPECT_EQ(list.count(), 40000); // duplicates within the page add nothing
}

} // namespace
