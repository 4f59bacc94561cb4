#include "searchfakes.h"

#include "core/legacytext.h"
#include "support/tempfolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

AnalysisRecord record(const QString& title, const QString& url, const QString& savePath = {})
{
    AnalysisRecord r;
    r.Title = title;
    r.ArticleUrl = url;
    r.FileType = u"pdf"_s;
    r.SavePath = savePath;
    r.Source = u"ACS"_s;
    r.PageUrl = u"https://pubs.example.org/results"_s;
    return r;
}

TEST(HandOff, TaskFieldsFromTheRecord)
{
    FakeDownloadWindow window;
    ProgramValues values;
    values.SaveFolder = u"/current/"_s;
    EXPECT_TRUE(HandOffRecord(record(u" Line\r\nbreak: a/b "_s, u"https://h/doi/pdf/10.1/a"_s), values, window));
    EXPECT_TRUE(HandOffRecord(record(u"Kept folder"_s, u"https://h/doi/pdf/10.1/b"_s, u"/own/"_s), values, window));
    ASSERT_EQ(window.list.count(), 2);
    const DownloadTask& first = *window.list.TaskAt(1);
    EXPECT_EQ(first.Name, u"Linebreak ab"_s);
    EXPECT_EQ(first.Type, u"pdf"_s);
    EXPECT_EQ(first.Folder, u"/current/"_s);
    EXPECT_EQ(first.Referer, u"https://pubs.example.org/results"_s);
    EXPECT_EQ(first.State, TaskState::Waiting);
    EXPECT_TRUE(IsUntouched(first));
    EXPECT_EQ(window.list.TaskAt(2)->Folder, u"/own/"_s);
}

TEST(HandOff, NamingByTheAddressFileName)
{
    FakeDownloadWindow window;
    ProgramValues values;
    values.NameByOriginalFile = true;
    HandOffRecord(record(u"t"_s, u"https://h/doi/pdf/10.1021/jacs.5b01234"_s), values, window);
    HandOffRecord(record(u"t"_s, u"https://h/files/nodot"_s), values, window);
    EXPECT_EQ(window.list.TaskAt(1)->Name, u"jacs"_s); // from the last dot on, dropped
    EXPECT_EQ(window.list.TaskAt(2)->Name, u"nodot"_s);
}

TEST(HandOff, NamingByAPatternUsesTheRecordsCitation)
{
    FakeDownloadWindow window;
    ProgramValues values;
    values.NameByOriginalFile = true; // the pattern wins
    values.NameByPattern = true;
    values.NamePattern = u"{year} {author} {doi} {title}"_s;
    AnalysisRecord cited = record(u"Ring: Closure"_s, u"https://h/doi/pdf/10.1021/jacs.5b01234"_s);
    cited.Meta.Year = u"2024"_s;
    cited.Meta.Authors = {u"Zoë Müller"_s, u"Li Hua"_s};
    cited.Meta.Doi = u"10.1021/jacs.5b01234"_s;
    HandOffRecord(cited, values, window);
    // No citation: the missing fields leave no blanks behind.
    HandOffRecord(record(u"Plain"_s, u"https://h/doi/pdf/10.1/b"_s), values, window);
    // Nothing left at all: the address names the file, as for a title of dots.
    values.NamePattern = u"{volume}"_s;
    HandOffRecord(record(u"t"_s, u"https://h/doi/pdf/10.1/c"_s), values, window);

    ASSERT_EQ(window.list.count(), 3);
    EXPECT_EQ(window.list.TaskAt(1)->Name, u"2024 Müller 10.1021_jacs.5b01234 Ring Closure"_s);
    EXPECT_EQ(window.list.TaskAt(2)->Name, u"Plain"_s);
    EXPECT_EQ(window.list.TaskAt(3)->Name, u"c"_s);

    // Each task carries its record's citation, for the list's export.
    ASSERT_TRUE(window.list.TaskAt(1)->Cited);
    EXPECT_EQ(window.list.TaskAt(1)->Cited->Title, u"Ring: Closure"_s);
    EXPECT_EQ(window.list.TaskAt(1)->Cited->Url, u"https://h/doi/pdf/10.1021/jacs.5b01234"_s);
    EXPECT_EQ(window.list.TaskAt(1)->Cited->Meta, cited.Meta);
    // The same address again adds nothing and leaves the first citation.
    AnalysisRecord again = cited;
    again.Title = u"Other"_s;
    HandOffRecord(again, values, window);
    EXPECT_EQ(window.list.TaskAt(1)->Cited->Title, u"Ring: Closure"_s);
}

TEST(HandOff, SameAddressTwiceKeepsOneTaskAndTitleOfDotsStillNamesAFile)
{
    FakeDownloadWindow window;
    ProgramValues values;
    HandOffRecord(record(u"First"_s, u"https://h/doi/pdf/10.1/a"_s), values, window);
    EXPECT_TRUE(HandOffRecord(record(u"Second"_s, u"https://h/doi/pdf/10.1/a"_s), values, window));
    EXPECT_EQ(window.list.count(), 1);
    EXPECT_EQ(window.list.TaskAt(1)->Name, u"First"_s);

    HandOffRecord(record(u"..."_s, u"https://h/doi/pdf/10.1/c"_s), values, window);
    EXPECT_EQ(window.list.TaskAt(2)->Name, u"c"_s); // the address names it
}

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

TEST(Export, KilobyteFormat)
{
    EXPECT_EQ(FormatKilobytes(1536 / 1024.0), u"1.5"_s);
    EXPECT_EQ(FormatKilobytes(2097152 / 1024.0), u"2,048.0"_s);
    EXPECT_EQ(FormatKilobytes(0), u"0.0"_s);
    EXPECT_EQ(FormatKilobytes(1234567.26), u"1,234,567.3"_s);
}

} // namespace
