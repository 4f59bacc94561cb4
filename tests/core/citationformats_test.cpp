#include "citationreaders.h"

#include "core/bibtexformat.h"
#include "core/citationfile.h"
#include "core/risformat.h"

#include "support/tempfolder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

CitedArticle hardArticle()
{
    CitedArticle a;
    a.Title = u"Müller–Hartwig {Coupling} of \"Quoted\" Amides: 50% & $5 #1 a_b ~x^2 C:\\path"_s;
    a.Url = u"https://pubs.example.org/doi/pdf/10.1021/jacs.4c01234?a=1&b_c=%7B"_s;
    a.Meta.Doi = u"10.1021/jacs.4c_01234"_s;
    a.Meta.Authors = {u"Jürgen Müller"_s, u"Zoë O'Brien"_s, u"渡辺 健"_s};
    a.Meta.Journal = u"Journal of the Example\nChemical Society"_s;
    a.Meta.Year = u"2024"_s;
    a.Meta.Volume = u"146"_s;
    a.Meta.Issue = u"3"_s;
    a.Meta.Pages = u"1234–1240"_s;
    a.Meta.PublicationDate = u"January 3, 2024"_s;
    a.Meta.ArticleType = u"Communication"_s;
    a.Meta.OpenAccess = true;
    return a;
}

CitedArticle bareArticle(const QString& title)
{
    CitedArticle a;
    a.Title = title;
    a.Url = u"https://pubs.example.org/doi/pdf/10.1021/x"_s;
    return a;
}

TEST(Ris, ReadsBackEveryFieldOfAHardRecord)
{
    const CitedArticle a = hardArticle();
    const std::optional<std::vector<RisRecord>> read = ReadRis(RisText({a, bareArticle(u"Second"_s)}));
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), 2u);
    const RisRecord& r = read->front();
    EXPECT_EQ(r[u"TY"_s], QStringList{u"JOUR"_s});
    EXPECT_EQ(r[u"TI"_s], QStringList{a.Title});
    EXPECT_EQ(r[u"AU"_s], a.Meta.Authors);
    EXPECT_EQ(r[u"JO"_s], QStringList{u"Journal of the Example Chemical Society"_s}); // one line
    EXPECT_EQ(r[u"PY"_s], QStringList{u"2024"_s});
    EXPECT_EQ(r[u"DA"_s], QStringList{u"2024/01/03/"_s});
    EXPECT_EQ(r[u"VL"_s], QStringList{u"146"_s});
    EXPECT_EQ(r[u"IS"_s], QStringList{u"3"_s});
    EXPECT_EQ(r[u"SP"_s], QStringList{u"1234"_s});
    EXPECT_EQ(r[u"EP"_s], QStringList{u"1240"_s});
    EXPECT_EQ(r[u"DO"_s], QStringList{a.Meta.Doi});
    EXPECT_EQ(r[u"UR"_s], QStringList{a.Url});
    EXPECT_EQ(r[u"KW"_s], QStringList{u"Open Access"_s});
    // What the page did not show is not written at all.
    const RisRecord& bare = read->back();
    EXPECT_EQ(bare.keys(), (QStringList{u"TI"_s, u"TY"_s, u"UR"_s}));
}

TEST(Ris, ChapterAndFileInUtf8)
{
    CitedArticle chapter = bareArticle(u"Ein Kapitel über Öle"_s);
    chapter.Meta.BookChapter = true;
    chapter.Meta.Journal = u"Book of Oils"_s;
    const TempFolder folder;
    const QString path = folder.path() + u"/list.RIS"_s;
    ASSERT_EQ(CitationFormatOfFile(path), CitationFormat::Ris);
    ASSERT_TRUE(WriteCitationFile(path, {chapter}, CitationFormat::Ris));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const std::optional<std::vector<RisRecord>> read = ReadRis(QString::fromUtf8(bytes));
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(bytes.contains("TI  - Ein Kapitel \xC3\xBC" "ber \xC3\x96le\r\n"));
    EXPECT_EQ(read->front()[u"TY"_s], QStringList{u"CHAP"_s});
    EXPECT_EQ(read->front()[u"T2"_s], QStringList{u"Book of Oils"_s});
}

TEST(BibTex, ReadsBackEveryFieldOfAHardRecord)
{
    const CitedArticle a = hardArticle();
    const std::optional<std::vector<BibEntry>> read = ReadBibTex(BibTexText({a, bareArticle(u"Second"_s)}));
    ASSERT_TRUE(read.has_value());
    ASSERT_EQ(read->size(), 2u);
    const BibEntry& e = read->front();
    EXPECT_EQ(e.Type, u"article"_s);
    EXPECT_EQ(e.Key, u"muller2024a"_s);
    EXPECT_EQ(e.Fields[u"title"_s], a.Title);
    EXPECT_EQ(e.Fields[u"author"_s], u"Jürgen Müller and Zoë O'Brien and 渡辺 健"_s);
    EXPECT_EQ(e.Fields[u"journal"_s], u"Journal of the Example Chemical Society"_s);
    EXPECT_EQ(e.Fields[u"pages"_s], u"1234--1240"_s);
    EXPECT_EQ(e.Fields[u"date"_s], u"2024-01-03"_s);
    EXPECT_EQ(e.Fields[u"number"_s], u"3"_s);
    EXPECT_EQ(e.Fields[u"doi"_s], a.Meta.Doi);
    EXPECT_EQ(e.Fields[u"url"_s], a.Url);
    EXPECT_EQ(read->back().Fields.keys(), (QStringList{u"title"_s, u"url"_s}));
    EXPECT_EQ(read->back().Key, u"anona"_s);
}

TEST(BibTex, KeysAreUniqueInOneFile)
{
    const auto by = [](const QString& author, const QString& year) {
        CitedArticle a = bareArticle(u"t"_s);
        if (!author.isEmpty())
            a.Meta.Authors = {author};
        a.Meta.Year = year;
        return a;
    };
    std::vector<CitedArticle> articles{by(u"Jane Smith"_s, u"2024"_s), by(u"Smith, John"_s, u"2024"_s),
                                       by(u"Ann Smith"_s, u"2023"_s),  by(u"Åsa Ångström"_s, u"2020"_s),
                                       by(u"李 伟"_s, u"2021"_s),        by(QString(), QString())};
    for (int i = 0; i < 30; ++i)
        articles.push_back(by(u"Lee Kim"_s, u"1999"_s));
    const QStringList keys = BibTexKeys(articles);
    EXPECT_EQ(keys.mid(0, 6), (QStringList{u"smith2024a"_s, u"smith2024b"_s, u"smith2023a"_s,
                                           u"angstrom2020a"_s, u"anon2021a"_s, u"anona"_s}));
    EXPECT_EQ(keys[6 + 25], u"kim1999z"_s);
    EXPECT_EQ(keys[6 + 26], u"kim1999aa"_s);
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
}

// A parser that is not ours: bibtool reads the whole file and complains of
// any entry it cannot take.
TEST(BibTex, BibtoolReadsTheFile)
{
    const QString bibtool = QStandardPaths::findExecutable(u"bibtool"_s);
    ASSERT_FALSE(bibtool.isEmpty()) << "bibtool is installed by tools/setup";
    const TempFolder folder;
    const QString path = folder.path() + u"/list.bib"_s;
    std::vector<CitedArticle> articles{hardArticle(), hardArticle(), bareArticle(u"Plain"_s)};
    ASSERT_EQ(CitationFormatOfFile(path), CitationFormat::BibTex);
    ASSERT_TRUE(WriteCitationFile(path, articles, CitationFormat::BibTex));
    QProcess run;
    // Not quiet: its warnings and errors are what the test reads.
    run.start(bibtool, {u"-o"_s, folder.path() + u"/out.bib"_s, path});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(run.readAllStandardError()), QString());
    QFile out(folder.path() + u"/out.bib"_s);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(out.readAll());
    EXPECT_EQ(text.count(u"@Article"_s, Qt::CaseInsensitive), 3);
    EXPECT_TRUE(text.contains(u"muller2024a"_s) && text.contains(u"muller2024b"_s)) << text.toStdString();
}

TEST(CitationFile, FormatByNameAndFailedWriteKeepsTheOldFile)
{
    EXPECT_EQ(CitationFormatOfFile(u"/a/b.Bib"_s), CitationFormat::BibTex);
    EXPECT_EQ(CitationFormatOfFile(u"/a/b.txt"_s), std::nullopt);
    QString error;
    EXPECT_FALSE(WriteCitationFile(u"/nonexistent-folder/x.ris"_s, {hardArticle()}, CitationFormat::Ris, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
