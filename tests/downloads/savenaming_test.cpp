#include "downloads/list/downloadtask.h"
#include "downloads/list/savenaming.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(DuplicatePolicy, CaptionsRoundTripAndUnknownMeansRename)
{
    for (const DuplicatePolicy p : {DuplicatePolicy::Skip, DuplicatePolicy::Overwrite, DuplicatePolicy::Rename})
        EXPECT_EQ(DuplicatePolicyFromCaption(u" "_s + DuplicatePolicyCaption(p) + u" "_s), p);
    EXPECT_EQ(DuplicatePolicyFromCaption(u"whatever"_s), DuplicatePolicy::Rename);
    EXPECT_EQ(DuplicatePolicyFromCaption(u""_s), DuplicatePolicy::Rename);
}

TEST(HandOffTaskName, ByTitleOrByAddress)
{
    EXPECT_EQ(HandOffTaskName(u"  A/B study:\r\n part 2  "_s, u"https://h/doi/pdf/10.1/x.y"_s, false),
              u"AB study part 2"_s);
    EXPECT_EQ(HandOffTaskName(u"ignored"_s, u"https://h/files/paper.v2.pdf"_s, true), u"paper.v2"_s);
    EXPECT_EQ(HandOffTaskName(QString(500, u'a'), u""_s, false), QString(250, u'a'));
}

class SaveNamingTest : public ::testing::Test {
protected:
    TempFolder temp;
    QString folder() const { return temp.path() + u'/'; }
    void make(std::initializer_list<QString> names) const
    {
        for (const QString& n : names)
            temp.writeFile(n, "12345");
    }
    SavePath renamed(const QString& name, const QString& type = u"pdf"_s) const
    {
        return MakeSavePath(temp.path(), name, type, DuplicatePolicy::Rename);
    }
};

TEST_F(SaveNamingTest, RenameTable)
{
    struct Case {
        const char* Label;
        std::vector<QString> Existing;
        QString Name;
        QString ExpectedName;
    };
    const Case cases[] = {
        {"free_name_kept", {}, u"a[1]"_s, u"a[1]"_s},
        {"first_counter", {u"a.pdf"_s}, u"a"_s, u"a[001]"_s},
        {"next_counter", {u"a.pdf"_s, u"a[001].pdf"_s}, u"a"_s, u"a[002]"_s},
        {"counter_reformatted_first", {u"a[7].pdf"_s}, u"a[7]"_s, u"a[007]"_s},
        {"counter_reformatted_then_counted", {u"a[7].pdf"_s, u"a[007].pdf"_s}, u"a[7]"_s, u"a[008]"_s},
        {"brackets_become_corners", {u"x[abc].pdf"_s}, u"x[abc]"_s, u"x『abc』"_s},
        {"corners_then_counter", {u"x[abc].pdf"_s, u"x『abc』.pdf"_s}, u"x[abc]"_s, u"x『abc』[001]"_s},
        {"four_digits_past_999", {u"b[999].pdf"_s}, u"b[999]"_s, u"b[1000]"_s},
        {"text_after_bracket_kept", {u"a[7]b.pdf"_s}, u"a[7]b"_s, u"a『7』b"_s},
    };
    for (const Case& c : cases) {
        TempFolder scratch;
        for (const QString& n : c.Existing)
            scratch.writeFile(n);
        const SavePath result = MakeSavePath(scratch.path() + u'/', c.Name, u"pdf"_s, DuplicatePolicy::Rename);
        EXPECT_EQ(result.Name, c.ExpectedName) << c.Label;
        EXPECT_EQ(result.Path, scratch.path() + u'/' + c.ExpectedName + u".pdf"_s) << c.Label;
    }
}

TEST_F(SaveNamingTest, OverwriteKeepsThePathSkipNumbersLikeRename)
{
    make({u"a.pdf"_s});
    const SavePath overwrite = MakeSavePath(folder(), u"a"_s, u"pdf"_s, DuplicatePolicy::Overwrite);
    EXPECT_EQ(overwrite.Path, folder() + u"a.pdf"_s);
    EXPECT_EQ(overwrite.Name, u"a"_s);
    // Under "跳过" the existing-file check stops the task before it gets here.
    EXPECT_EQ(MakeSavePath(folder(), u"a"_s, u"pdf"_s, DuplicatePolicy::Skip).Name, u"a[001]"_s);
}

TEST_F(SaveNamingTest, EmptyTypeHasNoDot)
{
    make({u"data"_s});
    EXPECT_EQ(renamed(u"data"_s, u""_s).Path, folder() + u"data[001]"_s);
}

TEST_F(SaveNamingTest, LongTitleAlwaysGivesASavablePath)
{
    const QString title = QString(125, QChar(0x4E2D)); // 250 legacy bytes, 375 UTF-8 bytes
    const SavePath first = renamed(title);
    EXPECT_LE(first.Path.sliced(folder().size()).toUtf8().size(), 255);
    temp.writeFile(first.Path.sliced(folder().size()));
    const SavePath second = renamed(title);
    EXPECT_NE(second.Path, first.Path);
    EXPECT_TRUE(second.Name.endsWith(u"[001]"_s));
    EXPECT_LE(second.Path.sliced(folder().size()).toUtf8().size(), 255);
}

TEST_F(SaveNamingTest, CheckExistingFileSkipsOnlyUnderSkip)
{
    make({u"a.pdf"_s});
    DownloadTask task;
    task.Folder = temp.path(); // no trailing separator: one is added
    task.Name = u"a"_s;
    task.Type = u"pdf"_s;

    EXPECT_TRUE(CheckExistingFile(task, DuplicatePolicy::Rename));
    EXPECT_TRUE(CheckExistingFile(task, DuplicatePolicy::Overwrite));
    EXPECT_EQ(task.State, TaskState::Waiting);

    EXPECT_FALSE(CheckExistingFile(task, DuplicatePolicy::Skip));
    EXPECT_EQ(task.State, TaskState::Completed);
    EXPECT_EQ(task.Size, u"5"_s);
    EXPECT_EQ(task.Received, u"5"_s);
    EXPECT_EQ(task.Progress, u"已存在，跳过"_s);

    DownloadTask fresh;
    fresh.Folder = folder();
    fresh.Name = u"b"_s;
    fresh.Type = u"pdf"_s;
    EXPECT_TRUE(CheckExistingFile(fresh, DuplicatePolicy::Skip));
}

} // namespace
