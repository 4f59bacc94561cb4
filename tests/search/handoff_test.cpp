#include "searchfakes.h"



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
    HandOffRecord(record(u" Line\r\nbreak: a/b "_s, u"https://h/doi/pdf/10.1/a"_s), values, window.model);
    HandOffRecord(record(u"Kept folder"_s, u"https://h/doi/pdf/10.1/b"_s, u"/own/"_s), values, window.model);
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
    HandOffRecord(record(u"t"_s, u"https://h/doi/pdf/10.1021/jacs.5b01234"_s), values, window.model);
    HandOffRecord(record(u"t"_s, u"https://h/files/nodot"_s), values, window.model);
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
    HandOffRecord(cited, values, window.model);
    // No citation: the missing fields leave no blanks behind.
    HandOffRecord(record(u"Plain"_s, u"https://h/doi/pdf/10.1/b"_s), values, window.model);
    // Nothing left at all: the address names the file, as for a title of dots.
    values.NamePattern = u"{volume}"_s;
    HandOffRecord(record(u"t"_s, u"https://h/doi/pdf/10.1/c"_s), values, window.model);

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
    HandOffRecord(again, values, window.model);
    EXPECT_EQ(window.list.TaskAt(1)->Cited->Title, u"Ring: Closure"_s);
}

TEST(HandOff, SameAddressTwiceKeepsOneTaskAndTitleOfDotsStillNamesAFile)
{
    FakeDownloadWindow window;
    ProgramValues values;
    HandOffRecord(record(u"First"_s, u"https://h/doi/pdf/10.1/a"_s), values, window.model);
    HandOffRecord(record(u"Second"_s, u"https://h/doi/pdf/10.1/a"_s), values, window.model);
    EXPECT_EQ(window.list.count(), 1);
    EXPECT_EQ(window.list.TaskAt(1)->Name, u"First"_s);

    HandOffRecord(record(u"..."_s, u"https://h/doi/pdf/10.1/c"_s), values, window.model);
    EXPECT_EQ(window.list.TaskAt(2)->Name, u"c"_s); // the address names it
}

} // namespace
