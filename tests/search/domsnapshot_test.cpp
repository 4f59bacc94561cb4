#include "search/analysislist.h"
#include "search/extraction.h"
#include "search/htmlsnapshot.h"
#include "search/jsonsnapshot.h"

#include "core/legacytext.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray fixture(const QString& name)
{
    QFile file(QStringLiteral(PAPERPULL_FIXTURES "/pages/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DomSnapshot page(const QByteArray& body, const QString& url = u"https://pubs.example.org/search/results?q=1"_s)
{
    return SnapshotFromHtml(body, url);
}

const DomElement& firstOf(const DomSnapshot& doc, const QString& tag)
{
    return *doc.element(doc.getElementsByTagName(tag).front());
}

TEST(HtmlSnapshot, ElementsInDocumentOrderWithTheirDescendants)
{
    const DomSnapshot doc = page("<div id=outer class='A b'><p><a href=x>1</a></p><span><A href=y>2</a></span></div>"
                                 "<a href=z>3</a>");
    const std::vector<int> divs = doc.getElementsByTagName(u"div"_s);
    ASSERT_EQ(divs.size(), 1u);
    EXPECT_EQ(doc.getElementsByTagName(u"A"_s).size(), 3u);
    const std::vector<int> inner = doc.getElementsByTagName(divs.front(), u"a"_s);
    ASSERT_EQ(inner.size(), 2u);
    EXPECT_EQ(doc.element(inner[1])->InnerText, u"2"_s);
    EXPECT_EQ(doc.getElementById(u"outer"_s), divs.front());
    EXPECT_EQ(doc.element(divs.front())->ClassName, u"A b"_s);
    EXPECT_EQ(firstOf(doc, u"HTML"_s).Parent, -1); // the parser adds html, head and body as a browser does
    EXPECT_EQ(doc.getElementById(u"missing"_s), -1);
    EXPECT_TRUE(doc.getElementsByTagName(u"TABLE"_s).empty());
    EXPECT_TRUE(doc.getElementsByTagName(999, u"A"_s).empty());
    EXPECT_EQ(doc.element(-1), nullptr);
}

TEST(HtmlSnapshot, LinksResolvedAgainstBaseOrDocument)
{
    const struct {
        const char* Label;
        QByteArray Html;
        QString Href;
    } cases[] = {
        {"relative", "<a href='../doi/pdf/10.1/x'>a</a>", u"https://pubs.example.org/doi/pdf/10.1/x"_s},
        {"root_relative", "<a href='/doi/abs/10.1/x'>a</a>", u"https://pubs.example.org/doi/abs/10.1/x"_s},
        {"base_href", "<head><base href='https://mirror.example.net/a/'></head><a href='b'>a</a>",
         u"https://mirror.example.net/a/b"_s},
        {"relative_base", "<base href='/other/'><a href='b'>a</a>", u"https://pubs.example.org/other/b"_s},
        {"entities", "<a href='/s?a=1&amp;b=2'>a</a>", u"https://pubs.example.org/s?a=1&b=2"_s},
        {"no_href", "<a name=x>a</a>", u""_s},
        {"script", "<a href='javascript:void(0)'>a</a>", u"javascript:void(0)"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstOf(page(c.Html), u"A"_s).Href, c.Href) << c.Label;
}

TEST(HtmlSnapshot, InnerTextAsAReaderSeesIt)
{
    const struct {
        const char* Label;
        QByteArray Html;
        QString Text;
    } cases[] = {
        {"whitespace_collapsed", "<a href=x>  Total\n\t Synthesis   of <i>X</i> </a>", u"Total Synthesis of X"_s},
        {"br_is_a_line_break", "<a href=x>Part 1<br>Part 2</a>", u"Part 1\nPart 2"_s},
        {"entities_decoded", "<a href=x>C&ndash;H &amp; O&#8322;</a>", u"C\u2013H & O\u2082"_s},
        {"script_and_style_hidden", "<a href=x>A<script>var x;</script><style>b{}</style>B</a>", u"AB"_s},
        {"hidden_attribute", "<a href=x>A<span hidden>secret</span>B</a>", u"AB"_s},
        {"nbsp_kept", "<a href=x>a&nbsp;b</a>", u"a\u00a0b"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstOf(page(c.Html), u"A"_s).InnerText, c.Text) << c.Label;
}

TEST(HtmlSnapshot, InputsCarryTheirState)
{
    const DomSnapshot doc = page("<input type=CheckBox name=doi value=10.1 checked><input name=q>");
    const std::vector<int> inputs = doc.getElementsByTagName(u"INPUT"_s);
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(doc.element(inputs[0])->Type, u"checkbox"_s);
    EXPECT_TRUE(doc.element(inputs[0])->Checked);
    EXPECT_EQ(doc.element(inputs[0])->Value, u"10.1"_s);
    EXPECT_EQ(doc.element(inputs[1])->Type, u"text"_s);
    EXPECT_FALSE(doc.element(inputs[1])->Checked);

    // Type and value as the browser reports them.
    const struct {
        const char* html;
        const char16_t* type;
        const char16_t* value;
    } cases[] = {
        {"<input type=checkbox>", u"checkbox", u"on"},
        {"<input type=radio value=''>", u"radio", u""},
        {"<input type=RADIO>", u"radio", u"on"},
        {"<input type=text>", u"text", u""},
        {"<input type=' Password '>", u"text", u""},
        {"<input type=PassWord>", u"password", u""},
        {"<input type=datetime value=x>", u"text", u"x"},
        {"<input type=foo>", u"text", u""},
    };
    for (const auto& c : cases) {
        const DomSnapshot one = page(c.html);
        const DomElement& input = firstOf(one, u"INPUT"_s);
        EXPECT_EQ(input.Type, QString::fromUtf16(c.type)) << c.html;
        EXPECT_EQ(input.Value, QString::fromUtf16(c.value)) << c.html;
    }
}

TEST(HtmlSnapshot, TemplateContentIsNotPartOfTheDocument)
{
    const DomSnapshot doc = page("<template><a href=x>inside</a></template><a href=y>outside</a>");
    EXPECT_EQ(doc.getElementsByTagName(u"A"_s).size(), 1u);
    // The browser runs scripts, so what noscript holds is text to it. (In the
    // head the parser, which runs none, already closes the noscript at its
    // first element that does not belong there.)
    const DomSnapshot withNoscript = page("<body><noscript><a href=x>inside</a><div>d</div></noscript><a href=y>outside</a>");
    ASSERT_EQ(withNoscript.getElementsByTagName(u"A"_s).size(), 1u);
    EXPECT_TRUE(withNoscript.getElementsByTagName(u"DIV"_s).empty());
    EXPECT_EQ(withNoscript.getElementsByTagName(u"NOSCRIPT"_s).size(), 1u);
}

TEST(DecodeHtml, CharsetTable)
{
    const QString chinese = u"纳米材料"_s;
    const struct {
        const char* Label;
        QByteArray Bytes;
        QString Contains;
    } cases[] = {
        {"declared_gb2312", "<meta charset=gb2312><p>" + legacytext::encode(chinese), chinese},
        {"http_equiv_gbk", "<meta http-equiv=Content-Type content='text/html; charset=GBK'>" + legacytext::encode(chinese),
         chinese},
        {"utf8_sniffed", "<p>" + chinese.toUtf8(), chinese},
        {"utf8_bom", "\xEF\xBB\xBF<p>" + chinese.toUtf8(), chinese},
        {"latin_fallback", "<p>caf\xE9 \x93quoted\x94", u"café \u201Cquoted\u201D"_s},
        {"unknown_label_falls_back", "<meta charset=no-such-charset><p>" + chinese.toUtf8(), chinese},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(DecodeHtml(c.Bytes).contains(c.Contains)) << c.Label;
}

TEST(HtmlSnapshot, BadInputNeverCrashes)
{
    EXPECT_EQ(page("").getElementsByTagName(u"A"_s).size(), 0u);
    EXPECT_GE(page(QByteArray(1000, '\0')).size(), 0);
    // Thousands of unclosed tags nest that deep.
    QByteArray deep;
    for (int i = 0; i < 20000; ++i)
        deep += "<span>";
    deep += "<a href=x>deep</a>";
    const DomSnapshot doc = page(deep);
    ASSERT_EQ(doc.getElementsByTagName(u"A"_s).size(), 1u);
    EXPECT_EQ(firstOf(doc, u"A"_s).InnerText, u"deep"_s);
    const DomSnapshot truncated = page("<div class=\"articlebox\"><a href=\"/x");
    EXPECT_GE(truncated.size(), 1);
}

// Own text is what citation parts are read from; scripts and styles have none.
TEST(HtmlSnapshot, OwnTextOfEachElement)
{
    const DomSnapshot doc = page("<div id=d> Vol.\n <b id=b>12</b>,&nbsp;3 </div><script id=s>x = 1</script>"
                                 "<style id=y>p {}</style><textarea id=t>typed</textarea>");
    EXPECT_EQ(doc.element(doc.getElementById(u"d"_s))->OwnText, u"Vol. ,\u00a03"_s);
    EXPECT_EQ(doc.element(doc.getElementById(u"b"_s))->OwnText, u"12"_s);
    for (const QString id : {u"s"_s, u"y"_s, u"t"_s})
        EXPECT_EQ(doc.element(doc.getElementById(id))->OwnText, u""_s) << id.toStdString();
}

TEST(JsonSnapshot, LoadsTheBrowsersSnapshot)
{
    const std::optional<DomSnapshot> doc = SnapshotFromJson(fixture(u"equivalence.json"_s));
    ASSERT_TRUE(doc.has_value());
    EXPECT_EQ(doc->url(), u"https://pubs.example.org/toc/orlef7/17/1"_s);
    EXPECT_EQ(doc->getElementsByTagName(4, u"a"_s), std::vector<int>{7});
    EXPECT_EQ(doc->getElementsByTagName(3, u"DIV"_s), (std::vector<int>{4, 9}));
    EXPECT_TRUE(doc->element(5)->Checked);
    EXPECT_EQ(doc->getElementById(u"first"_s), 4);
}

TEST(JsonSnapshot, RefusesWhatIsNotASnapshot)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"not_json", "<html>"},
        {"array", "[]"},
        {"no_url", R"({"elements": []})"},
        {"no_elements", R"({"url": "x"})"},
        {"element_not_object", R"({"url": "x", "elements": [1]})"},
        {"no_tag", R"({"url": "x", "elements": [{"parent": -1}]})"},
        {"empty_tag", R"({"url": "x", "elements": [{"tag": "", "parent": -1}]})"},
        {"parent_after_child", R"({"url": "x", "elements": [{"tag": "A", "parent": 1}, {"tag": "B", "parent": -1}]})"},
        {"parent_closed", R"({"url": "x", "elements": [{"tag": "A", "parent": -1}, {"tag": "B", "parent": 0},
                              {"tag": "C", "parent": -1}, {"tag": "D", "parent": 1}]})"},
    };
    for (const auto& [label, json] : cases)
        EXPECT_FALSE(SnapshotFromJson(json).has_value()) << label;
    EXPECT_TRUE(SnapshotFromJson(R"({"url": "", "elements": []})").has_value());
}

TEST(JsonSnapshot, SchemaRequiresWhatTheLoaderRequires)
{
    const QJsonObject schema = QJsonDocument::fromJson(SnapshotJsonSchema()).object();
    ASSERT_FALSE(schema.isEmpty());
    const QJsonObject item = schema[u"properties"_s][u"elements"_s][u"items"_s].toObject();
    EXPECT_EQ(schema[u"required"_s].toVariant().toStringList(), (QStringList{u"url"_s, u"elements"_s}));
    EXPECT_EQ(item[u"required"_s].toVariant().toStringList(), (QStringList{u"tag"_s, u"parent"_s}));
    for (const QString& key : {u"id"_s, u"className"_s, u"title"_s, u"href"_s, u"innerText"_s, u"name"_s, u"type"_s,
                               u"value"_s, u"checked"_s})
        EXPECT_TRUE(item[u"properties"_s].toObject().contains(key)) << key.toStdString();
}

TEST(Snapshots, HtmlAndBrowserJsonGiveTheSameRecords)
{
    const DomSnapshot fromHtml = SnapshotFromHtml(fixture(u"equivalence.html"_s), u"https://pubs.example.org/toc/orlef7/17/1"_s);
    const std::optional<DomSnapshot> fromJson = SnapshotFromJson(fixture(u"equivalence.json"_s));
    ASSERT_TRUE(fromJson.has_value());
    for (const bool onlyChecked : {false, true}) {
        AnalysisList a;
        AnalysisList b;
        EXPECT_EQ(ExtractPage(fromHtml, {onlyChecked, {}}, a), onlyChecked ? 1 : 2);
        ExtractPage(*fromJson, {onlyChecked, {}}, b);
        ASSERT_EQ(a.count(), b.count());
        for (int i = 0; i < a.count(); ++i) {
            EXPECT_EQ(a.at(i)->Title, b.at(i)->Title);
            EXPECT_EQ(a.at(i)->ArticleUrl, b.at(i)->ArticleUrl);
            EXPECT_EQ(a.at(i)->PageUrl, b.at(i)->PageUrl);
        }
    }
    EXPECT_EQ(fromHtml.size(), fromJson->size());
    EXPECT_EQ(fromHtml.element(FindNextLink(fromHtml))->Href, fromJson->element(FindNextLink(*fromJson))->Href);
}

} // namespace
