#include "browsertesting.h"

#include "search/analysiscontroller.h"
#include "search/analysislist.h"
#include "search/extraction.h"
#include "search/htmlsnapshot.h"
#include "search/searchfakes.h"

#include "support/testhttpserver.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TestHttpServer::Route htmlPage(const QByteArray& body, int dripMs = 0)
{
    TestHttpServer::Route route;
    route.Body = body;
    route.ContentType = "text/html";
    if (dripMs > 0) {
        route.DripBytes = 64;
        route.DripMs = dripMs;
    }
    return route;
}

QString citationText(const Citation& c)
{
    return QStringList{c.Doi, c.Authors.join(u"; "_s), c.Journal, c.Year, c.Volume, c.Issue, c.Pages,
                       c.PublicationDate, c.ArticleType, c.OpenAccess ? u"oa"_s : u"-"_s,
                       c.BookChapter ? u"chapter"_s : u"-"_s}
        .join(u" | "_s);
}

int indexOf(const DomSnapshot& page, const QString& id)
{
    return page.getElementById(id);
}

// Saved result pages of every layout, and pages that are hard to parse: the
// browser's snapshot must give the extraction what the parser gives it, so
// tests over saved pages speak for the real browser.
TEST(WebSearchBrowser, SavedPagesGiveTheSameRecordsAsTheParser)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page);

    const QString names[] = {u"articlebox"_s, u"articlebox-citations"_s, u"chapterbox"_s, u"equivalence"_s,
                             u"gbk"_s, u"issueitems"_s, u"issueitems-citations"_s, u"malformed"_s,
                             u"resultlist"_s};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray html = Fixture(u"pages/"_s + name + u".html"_s);
        ASSERT_FALSE(html.isEmpty());
        const QString target = u"/pages/"_s + name + u".html"_s;
        server.route(target.toUtf8(), htmlPage(html));
        const QString url = server.url(target);
        ASSERT_TRUE(LoadAndWait(page, QUrl(url)));

        const DomSnapshot live = ReadNow(browser);
        const DomSnapshot parsed = SnapshotFromHtml(html, url);
        ASSERT_FALSE(live.isEmpty());
        EXPECT_EQ(live.url(), url);

        // The same elements in the same places: indexes are what clicks use.
        ASSERT_EQ(live.size(), parsed.size());
        for (int i = 0; i < live.size(); ++i) {
            EXPECT_EQ(live.element(i)->Tag, parsed.element(i)->Tag) << i;
            EXPECT_EQ(live.element(i)->Parent, parsed.element(i)->Parent) << i;
            EXPECT_EQ(live.element(i)->End, parsed.element(i)->End) << i;
        }

        for (const bool onlyChecked : {false, true}) {
            AnalysisList fromBrowser;
            AnalysisList fromParser;
            const int found = ExtractPage(live, {onlyChecked, u"/save/"_s}, fromBrowser);
            EXPECT_EQ(found, ExtractPage(parsed, {onlyChecked, u"/save/"_s}, fromParser)) << onlyChecked;
            ASSERT_EQ(fromBrowser.count(), fromParser.count()) << onlyChecked;
            for (int row = 0; row < fromBrowser.count(); ++row) {
                const AnalysisRecord& a = *fromBrowser.at(row);
                const AnalysisRecord& b = *fromParser.at(row);
                EXPECT_EQ(a.Title, b.Title) << row;
                EXPECT_EQ(a.ArticleUrl, b.ArticleUrl) << row;
                EXPECT_EQ(a.PageUrl, b.PageUrl) << row;
                EXPECT_EQ(a.FileType, b.FileType) << row;
                EXPECT_EQ(a.Source, b.Source) << row;
                EXPECT_EQ(citationText(a.Meta), citationText(b.Meta)) << row;
            }
        }
        const int next = FindNextLink(live);
        ASSERT_EQ(next, FindNextLink(parsed));
        if (next >= 0) {
            EXPECT_EQ(live.element(next)->Href, parsed.element(next)->Href);
        }
    }
}

// The parts of a page where a browser and a parser most easily part ways:
// SVG (its className is no string, its links have no resolved href), noscript
// (text to a browser that runs scripts), a form
// whose fields shadow element properties, template content, implied and
// misnested tags, inputs of every kind of type. Every field the logic reads agrees.
TEST(WebSearchBrowser, HardPartsOfAPageReadAsTheParserReadsThem)
{
    const QByteArray html = R"html(<!DOCTYPE html><html><head><title>t</title></head><body>
<svg class="icon big" id="logo"><a href="/svg-link" title="in svg"><text>S</text></a><g class="layer"></g></svg>
<form id="f" class="search" title="Search"><input name="id" value="1"><input name="title"><input name="className">
<input name="getAttribute" type="CHECKBOX" checked></form>
<input type="radio" name="r" value=""><input type="RADIO" name="r"><input type="datetime" value="x"><input type=" Password ">
<button name="go" value="1">Go</button><button type="BUTTON">b</button><button type="menu">m</button><button type="Reset">r</button>
<template><a href="/inside-template">hidden</a></template><noscript><a href="/noscript">no script</a></noscript>
<table><tr><td><a href="rel/page?x=1&amp;y=%20z#frag">cell</a><p>open<div>block</table>
<ul><li><a href="https://other.example/a b">one</a><li><a>no href</a></ul>
<a href="/caf&eacute;">caf&eacute;</a>
</body></html>)html";
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/dir/hard", htmlPage(html));
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page);
    const QString url = server.url(u"/dir/hard"_s);
    ASSERT_TRUE(LoadAndWait(page, QUrl(url)));

    const DomSnapshot live = ReadNow(browser);
    const DomSnapshot parsed = SnapshotFromHtml(html, url);
    ASSERT_EQ(live.size(), parsed.size());
    for (int i = 0; i < live.size(); ++i) {
        const DomElement& a = *live.element(i);
        const DomElement& b = *parsed.element(i);
        SCOPED_TRACE(b.Tag.toStdString() + " at " + std::to_string(i));
        EXPECT_EQ(a.Tag, b.Tag);
        EXPECT_EQ(a.Parent, b.Parent);
        EXPECT_EQ(a.End, b.End);
        EXPECT_EQ(a.Id, b.Id);
        EXPECT_EQ(a.ClassName, b.ClassName);
        EXPECT_EQ(a.Title, b.Title);
        EXPECT_EQ(a.Href, b.Href);
        EXPECT_EQ(a.Name, b.Name);
        EXPECT_EQ(a.Type, b.Type);
        EXPECT_EQ(a.Value, b.Value);
        EXPECT_EQ(a.Checked, b.Checked);
        EXPECT_EQ(a.OwnText, b.OwnText);
        if (a.Tag == u"A"_s) {
            EXPECT_EQ(a.InnerText, b.InnerText);
        }
    }
    EXPECT_EQ(live.element(live.getElementById(u"logo"_s))->ClassName, u"icon big"_s);
}

// What the page shows now, not what its HTML said; and a page's own scripts
// cannot spoil the snapshot by replacing built-ins or by naming form fields
// after element properties.
TEST(WebSearchBrowser, ReadsTheLiveStateAndActsOnlyOnTheExpectedElement)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/form", htmlPage(R"html(<html><body>
<form id="f" title="Search form"><input name="id"><input name="getAttribute"><input name="title"></form>
<input type="checkbox" id="byScript" name="doi" value="1">
<input type="checkbox" id="byClick" name="doi" value="2">
<input id="text" name="q" value="as served">
<div id="plain">x</div>
<a id="link" href="/doi/10.1021/x">The real title</a>
<script>
document.getElementById('byScript').checked = true;
Document.prototype.getElementsByTagName = function () { return []; };
Element.prototype.getElementsByTagName = function () { return []; };
Object.defineProperty(HTMLElement.prototype, 'innerText', { get() { return 'spoiled'; } });
JSON.stringify = function () { return 'spoiled'; };
Array.prototype.push = null;
window.Map = null;
Element.prototype.getAttribute = function () { return 'spoiled'; };
</script>
</body></html>)html"));
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page);
    ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/form"_s))));

    DomSnapshot snapshot = ReadNow(browser);
    ASSERT_FALSE(snapshot.isEmpty());
    const int form = indexOf(snapshot, u"f"_s);
    ASSERT_GE(form, 0);
    EXPECT_EQ(snapshot.element(form)->Title, u"Search form"_s);
    EXPECT_EQ(snapshot.getElementsByTagName(form, u"INPUT"_s).size(), 3u);
    EXPECT_TRUE(snapshot.element(indexOf(snapshot, u"byScript"_s))->Checked);
    EXPECT_FALSE(snapshot.element(indexOf(snapshot, u"byClick"_s))->Checked);
    const DomElement& text = *snapshot.element(indexOf(snapshot, u"text"_s));
    EXPECT_EQ(text.Type, u"text"_s);
    EXPECT_EQ(text.Name, u"q"_s);
    EXPECT_EQ(text.Value, u"as served"_s);
    EXPECT_EQ(snapshot.element(indexOf(snapshot, u"link"_s))->InnerText, u"The real title"_s);

    const int byClick = indexOf(snapshot, u"byClick"_s);
    const int textIndex = indexOf(snapshot, u"text"_s);
    const int plain = indexOf(snapshot, u"plain"_s);
    struct Refused {
        const char* label;
        int index;
        QString tag;
    } refused[] = {
        {"tag no longer matches", byClick, u"A"_s},
        {"past the last element", snapshot.size() + 5, u"INPUT"_s},
        {"negative index", -1, u"INPUT"_s},
    };
    for (const Refused& r : refused)
        EXPECT_FALSE(ClickNow(browser, r.index, r.tag)) << r.label;

    EXPECT_TRUE(ClickNow(browser, byClick, u"input"_s)); // any letter case
    std::optional<bool> set;
    browser.setElementValue(textIndex, u"INPUT"_s, u"typed"_s, [&set](bool done) { set = done; });
    ASSERT_TRUE(WaitUntil([&set] { return set.has_value(); }));
    EXPECT_EQ(set, true);
    set.reset();
    browser.setElementValue(plain, u"DIV"_s, u"typed"_s, [&set](bool done) { set = done; });
    ASSERT_TRUE(WaitUntil([&set] { return set.has_value(); }));
    EXPECT_EQ(set, false) << "a DIV has no value";

    snapshot = ReadNow(browser);
    EXPECT_TRUE(snapshot.element(byClick)->Checked);
    EXPECT_EQ(snapshot.element(textIndex)->Value, u"typed"_s);
}

// A renderer that does not answer (here a page script that hogs it) must not
// leave the caller waiting for ever; the late answer is then dropped.
TEST(WebSearchBrowser, AnAnswerThatNeverComesIsGivenUp)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/hog", htmlPage("<html><body><a href='/x'>Next</a></body></html>"));
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page, 300);
    ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/hog"_s))));
    ASSERT_FALSE(ReadNow(browser).isEmpty());

    // Not waited for: the snapshot script queues behind it.
    page.runJavaScript(u"const t = Date.now(); while (Date.now() - t < 1500) {}"_s);
    int answers = 0;
    bool empty = false;
    browser.readPage([&](const DomSnapshot& snapshot) {
        ++answers;
        empty = snapshot.isEmpty();
    });
    ASSERT_TRUE(WaitUntil([&answers] { return answers > 0; }, 1200)) << "no answer within the time-out";
    EXPECT_TRUE(empty);
    // After the hog ends, the page answers again, once per question.
    QTest::qWait(1500);
    ASSERT_FALSE(ReadNow(browser).isEmpty());
    EXPECT_EQ(answers, 1);
}

QByteArray resultPageLinkingTo(int article, const QByteArray& next)
{
    QByteArray html = "<html><body><div class='issue-item'><h3 class='issue-item_title'><a href='/doi/abs/10.1021/a"
        + QByteArray::number(article) + "'>Article " + QByteArray::number(article) + "</a></h3></div>";
    if (!next.isEmpty())
        html += "<a href='" + next + "'>Next</a>";
    return html + "</body></html>";
}

// Only what a reader can see is taken: in the browser the style sheet and the
// layout decide too.
TEST(WebSearchBrowser, EntriesAReaderCannotSeeAreLeftOut)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/results", htmlPage(Fixture(u"pages/hiddenentries.html"_s)));
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page);
    // Shown in a view, as the search window shows it: only then is it laid out.
    QWebEngineView view;
    view.setPage(&page);
    view.resize(1000, 700);
    view.show();
    ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/results"_s))));
    const DomSnapshot live = ReadNow(browser);
    AnalysisList list;
    int leftOut = 0;
    ExtractPage(live, {false, QString(), &leftOut}, list);
    QStringList titles;
    for (const AnalysisRecord& r : list.records())
        titles << r.Title;
    EXPECT_EQ(titles, (QStringList{u"Shown Entry"_s, u"Second Shown Entry"_s}));
    EXPECT_EQ(leftOut, 9);
    // The visible empty "next" anchor is followed, the hidden one is not.
    const int next = FindNextLink(live);
    ASSERT_GE(next, 0);
    EXPECT_EQ(live.element(next)->Href, server.url(u"/action/doSearch?page=2"_s));
    view.setPage(nullptr);
}

// The next link is clicked in the page; the browser is busy until the next
// document is complete, and says so once, for the page it loaded.
TEST(WebSearchBrowser, ClickingNextLoadsTheNextPage)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/r1", htmlPage(resultPageLinkingTo(1, "/r2")));
    // Slow enough that the load is seen in progress.
    server.route("/r2", htmlPage(resultPageLinkingTo(2, "/r3") + QByteArray(2000, ' '), 30));
    server.route("/r3", htmlPage(resultPageLinkingTo(3, {})));
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page);
    ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/r1"_s))));
    EXPECT_FALSE(browser.isBusy());
    EXPECT_EQ(page.statusText(), u"完成"_s);

    QSignalSpy complete(&browser, &SearchBrowser::documentComplete);
    QSignalSpy status(&page, &BrowserPage::statusTextChanged);
    const DomSnapshot first = ReadNow(browser);
    const int next = FindNextLink(first);
    ASSERT_GE(next, 0);
    ASSERT_TRUE(ClickNow(browser, next, u"A"_s));
    EXPECT_TRUE(WaitUntil([&browser] { return browser.isBusy(); }, 5000));
    EXPECT_TRUE(complete.isEmpty()) << "complete before the page arrived";
    ASSERT_TRUE(complete.wait(20000));
    EXPECT_FALSE(browser.isBusy());
    EXPECT_EQ(ReadNow(browser).url(), server.url(u"/r2"_s));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.first().first().toString(), u"正在打开网页 "_s + server.url(u"/r2"_s));
    EXPECT_EQ(status.last().first().toString(), u"完成"_s);
    QTest::qWait(200);
    EXPECT_EQ(complete.size(), 1);
}

// The whole all-pages run over the real browser: every page's rows, in order,
// and the run ends on the page without a next link.
TEST(WebSearchBrowser, AllPagesRunFollowsTheNextLinks)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/r1", htmlPage(resultPageLinkingTo(1, "/r2")));
    server.route("/r2", htmlPage(resultPageLinkingTo(2, "/r3"), 5));
    server.route("/r3", htmlPage(resultPageLinkingTo(3, {})));
    BrowserPage page(SharedProfile());
    WebSearchBrowser browser(page);
    ASSERT_TRUE(LoadAndWait(page, QUrl(server.url(u"/r1"_s))));

    AnalysisList list;
    AnalysisTableModel model(list);
    ProgramValues values;
    values.PromptSaveFolder = false;
    FakeSaveFolder saveFolder(values);
    FakeDownloadWindow downloads;
    RecordingPrompts prompts;
    AnalysisController::Timing timing;
    timing.SettleMs = 100;
    AnalysisController controller(model, browser, values, saveFolder, downloads.model, downloads, prompts, timing);
    controller.AddAllPages();
    ASSERT_TRUE(WaitUntil([&controller] { return !controller.addAllRunning(); }, 60000));

    ASSERT_EQ(list.count(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(list.at(row)->Title, u"Article "_s + QString::number(row + 1));
        EXPECT_EQ(list.at(row)->PageUrl, server.url(u"/r"_s + QString::number(row + 1)));
    }
}

} // namespace
