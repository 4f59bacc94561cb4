#include "search/analysisexport.h"
#include "search/analysislist.h"

#include "core/legacytext.h"
#include "core/textfunctions.h"
#include "support/recordingprompts.h"
#include "support/tempfolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(Export, LinesSizeMessageAndEncoding)
{
    TempFolder temp;
    AnalysisList list;
    list.AddAnalysisRecord(u"中文标题"_s, u"u1"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s);
    list.AddAnalysisRecord(u"Second"_s, u"u2"_s, u"p"_s, u"htm"_s, {}, u"ACS"_s);
    list.AddAnalysisRecord(u"Third"_s, u"u3"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s);
    list.at(1)->AnalysisState = u"成功"_s;
    RecordingPrompts prompts;
    prompts.fileAnswers = {temp.filePath(u"export"_s)}; // no extension: ".txt" added
    ExportAnalysisList(list, prompts);

    QFile file(temp.filePath(u"export.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray expected = legacytext::encode(u"中文标题-【pdf】\r\nSecond-【htm】成功\r\nThird-【pdf】\r\n"_s);
    EXPECT_EQ(file.readAll(), expected);
    EXPECT_EQ(prompts.messages(), QStringList{u"保存文件完毕："_s + FormatKilobytes(expected.size() / 1024.0) + u"KB"_s});
    // The text lines first, then the citation forms beside them.
    EXPECT_EQ(prompts.shown[0].Text, u"|*.txt|*.txt|*.ris|*.ris|*.bib|*.bib"_s);
}

// A ".ris" or ".bib" name writes the records' citations instead of the lines.
TEST(Export, CitationFormatsByTheFileType)
{
    TempFolder temp;
    AnalysisList list;
    Citation meta;
    meta.Authors = {u"Jürgen Müller"_s};
    meta.Year = u"2024"_s;
    meta.Doi = u"10.1021/x1"_s;
    list.AddAnalysisRecord(u"Über {Braces}"_s, u"https://h/doi/pdf/10.1021/x1"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s, meta);
    list.AddAnalysisRecord(u"Second"_s, u"https://h/doi/pdf/10.1021/x2"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s);
    RecordingPrompts prompts;
    prompts.fileAnswers = {temp.filePath(u"list.ris"_s), temp.filePath(u"list.BIB"_s)};
    ExportAnalysisList(list, prompts);
    ExportAnalysisList(list, prompts);

    QFile ris(temp.filePath(u"list.ris"_s));
    ASSERT_TRUE(ris.open(QIODevice::ReadOnly));
    const QString risText = QString::fromUtf8(ris.readAll());
    EXPECT_EQ(risText.count(u"TY  - JOUR\r\n"_s), 2);
    EXPECT_TRUE(risText.contains(u"TI  - Über {Braces}\r\nAU  - Jürgen Müller\r\n"_s));
    EXPECT_TRUE(risText.contains(u"DO  - 10.1021/x1\r\n"_s));
    QFile bib(temp.filePath(u"list.BIB"_s));
    ASSERT_TRUE(bib.open(QIODevice::ReadOnly));
    const QString bibText = QString::fromUtf8(bib.readAll());
    EXPECT_TRUE(bibText.startsWith(u"@article{muller2024a,\n  title = {Über \\{Braces\\}},\n"_s)) << bibText.toStdString();
    EXPECT_TRUE(bibText.contains(u"@article{anona,"_s));
    EXPECT_EQ(prompts.messages().size(), 2);
}

TEST(Export, NothingToDoAndSilentFailures)
{
    TempFolder temp;
    RecordingPrompts prompts;
    AnalysisList empty;
    ExportAnalysisList(empty, prompts);
    EXPECT_TRUE(prompts.shown.isEmpty());

    AnalysisList list;
    list.AddAnalysisRecord(u"t"_s, u"u"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s);
    prompts.fileAnswers = {QString(), temp.filePath(u"missing/folder/x.txt"_s)};
    ExportAnalysisList(list, prompts); // cancelled
    ExportAnalysisList(list, prompts); // cannot be written: nothing said
    EXPECT_TRUE(prompts.messages().isEmpty());
}

} // namespace
