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
