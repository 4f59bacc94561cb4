#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Outcome {
    int Status;
    QString Out;
    QString Err;
};

Outcome extract(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(PAPERPULL_EXTRACT), args);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

const QString kPages = QStringLiteral(PAPERPULL_FIXTURES "/pages/");

TEST(ExtractCommand, PrintsRecordsAndTheNextLink)
{
    const Outcome run = extract({u"--url"_s, u"https://pubs.example.org/action/doSearch?q=x"_s, kPages + u"articlebox.html"_s});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out,
              u"Total Synthesis of Vinigrol\thttps://pubs.example.org/doi/pdf/10.1021/ja0001\t"
              "https://pubs.example.org/action/doSearch?q=x\tpdf\tACS\n"
              "Unticked & Second\thttps://pubs.example.org/doi/pdf/10.1021/ja0002\t"
              "https://pubs.example.org/action/doSearch?q=x\tpdf\tACS\n"
              "next\thttps://pubs.example.org/action/doSearch?page=2\n"_s);
}

TEST(ExtractCommand, OneLinePerRecordAndOnlyChecked)
{
    const Outcome run = extract({u"--only-checked"_s, u"--url"_s, u"https://pubs.example.org/toc/jacsat/147/1"_s,
                             kPages + u"issueitems.html"_s});
    EXPECT_EQ(run.Status, 0);
    const QStringList lines = run.Out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4); // three records and the next link
    EXPECT_TRUE(lines[0].startsWith(u"Catalytic C\u2013H Activation in Water\t"_s)); // line break became a space
    EXPECT_EQ(lines[0].count(u'\t'), 4);
}

TEST(ExtractCommand, SaysHowManyHiddenEntriesItLeftOut)
{
    const Outcome run = extract({u"--url"_s, u"https://pubs.example.org/action/doSearch?q=x"_s,
                                 kPages + u"hiddenentries.html"_s});
    EXPECT_EQ(run.Status, 0);
    EXPECT_FALSE(run.Out.contains(u"Hidden Attribute"_s));
    EXPECT_EQ(run.Err, u"paperpull-extract: left out 4 hidden entries\n"_s);
}

TEST(ExtractCommand, ExitStatuses)
{
    const Outcome none = extract({kPages + u"articlebox.html"_s});
    EXPECT_EQ(none.Status, 1) << "no --url: relative links become file addresses, which are not fetchable";
    const Outcome missing = extract({kPages + u"no-such-page.html"_s});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_TRUE(missing.Err.contains(u"no-such-page.html"_s));
    EXPECT_EQ(extract({kPages}).Status, 2); // a folder
    EXPECT_EQ(extract({}).Status, 2);
    EXPECT_EQ(extract({u"--bogus"_s, kPages + u"gbk.html"_s}).Status, 2);
}

} // namespace

namespace {

// The citation formats print the same records; tsv stays the default.
TEST(ExtractCommand, CitationFormats)
{
    const QString page = kPages + u"issueitems-citations.html"_s;
    const QStringList site{u"--url"_s, u"https://pubs.example.org/toc/jacsat/146/3"_s};
    EXPECT_EQ(extract(site + QStringList{u"--format"_s, u"tsv"_s, page}).Out, extract(site + QStringList{page}).Out);

    const Outcome ris = extract(site + QStringList{u"--format"_s, u"ris"_s, page});
    EXPECT_EQ(ris.Status, 0);
    EXPECT_EQ(ris.Out.count(u"TY  - JOUR"_s), 3);
    EXPECT_TRUE(ris.Out.contains(u"AU  - Zoë O'Brien\r\n"_s)) << ris.Out.toStdString();

    const Outcome bib = extract(site + QStringList{u"--format"_s, u"bibtex"_s, page});
    EXPECT_TRUE(bib.Out.contains(u"@article{muller2024a,"_s)) << bib.Out.toStdString();

    const Outcome json = extract(site + QStringList{u"--format"_s, u"json"_s, page});
    const QJsonObject root = QJsonDocument::fromJson(json.Out.toUtf8()).object();
    const QJsonArray records = root[u"records"_s].toArray();
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[0][u"volume"_s].toString(), u"146"_s);
    EXPECT_EQ(records[0][u"authors"_s].toArray().size(), 3);
    EXPECT_TRUE(records[0][u"openAccess"_s].toBool());
    EXPECT_EQ(records[2][u"journal"_s].toString(), u""_s);

    const Outcome bad = extract(site + QStringList{u"--format"_s, u"csv"_s, page});
    EXPECT_EQ(bad.Status, 2);
    EXPECT_TRUE(bad.Err.contains(u"unknown format"_s));
}

} // namespace
