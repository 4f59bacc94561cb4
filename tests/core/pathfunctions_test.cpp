#include "core/pathfunctions.h"
#include "support/recordingprompts.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(ExistenceTests, TellFilesFromFolders)
{
    TempFolder temp;
    const QString file = temp.writeFile(u"f.pdf"_s);
    const QString folder = temp.makeFolder(u"d"_s);
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(EntryExists(file));
    EXPECT_TRUE(EntryExists(folder));
    for (const QString& bad : {u""_s, temp.filePath(u"missing"_s), u"\0/x"_s, QString(5000, u'a')}) {
        EXPECT_FALSE(FileExists(bad));
        EXPECT_FALSE(FolderExists(bad));
    }
}

TEST(EnsureFolder, CreatesLevelsAndReturnsPathWithoutTrailingSeparator)
{
    TempFolder temp;
    RecordingPrompts prompts;
    const QString result = EnsureFolder(temp.path() + u"/papers/2015/"_s, prompts);
    EXPECT_EQ(result, temp.path() + u"/papers/2015"_s);
    EXPECT_TRUE(FolderExists(temp.path() + u"/papers/2015"_s));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(EnsureFolder, CleansLevelNamesAndAcceptsBothSeparators)
{
    TempFolder temp;
    RecordingPrompts prompts;
    const QString result = EnsureFolder(temp.path() + u"\\a:b\\c?d"_s, prompts);
    EXPECT_EQ(result, temp.path() + u"/ab/cd"_s);
    EXPECT_TRUE(FolderExists(result));
}

TEST(EnsureFolder, LevelThatCleansToNothingStopsWithMessage)
{
    TempFolder temp;
    RecordingPrompts prompts;
    const QString result = EnsureFolder(temp.path() + u"/a/?/b"_s, prompts);
    EXPECT_EQ(result, temp.path() + u"/a"_s);
    EXPECT_FALSE(FolderExists(temp.path() + u"/a/b"_s));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].Text, u"文件夹名称有误！不能创建文件夹！"_s);
    EXPECT_EQ(prompts.shown[0].Icon, MessageIcon::Error);
}

TEST(EnsureFolder, FailuresAnswerEmpty)
{
    TempFolder temp;
    RecordingPrompts prompts;
    // A file stands where a level should go.
    const QString file = temp.writeFile(u"blocker"_s);
    EXPECT_EQ(EnsureFolder(file + u"/sub"_s, prompts), u""_s);
    EXPECT_EQ(EnsureFolder(file, prompts), u""_s);
    EXPECT_EQ(EnsureFolder(u""_s, prompts), u""_s);
    EXPECT_EQ(EnsureFolder(u"/"_s, prompts), u"/"_s);
}

TEST(EnsureFolder, OverlongLevelIsCutToFitTheFileSystem)
{
    TempFolder temp;
    RecordingPrompts prompts;
    const QString result = EnsureFolder(temp.path() + u'/' + QString(200, QChar(0x4E2D)), prompts);
    ASSERT_FALSE(result.isEmpty());
    EXPECT_TRUE(FolderExists(result));
}

class NextNumberedNameTest : public ::testing::Test {
protected:
    TempFolder temp;
    QString at(const QString& name) const { return temp.filePath(name); }
    void make(std::initializer_list<QString> names) const
    {
        for (const QString& name : names)
            temp.writeFile(name);
    }
};

TEST_F(NextNumberedNameTest, FreePathComesBackUnchanged)
{
    EXPECT_EQ(NextNumberedName(at(u"r.pdf"_s)), at(u"r.pdf"_s));
    EXPECT_EQ(NextNumberedName(u"r.pdf"_s), u"r.pdf"_s);
}

TEST_F(NextNumberedNameTest, CountsPastTakenNames)
{
    make({u"r.pdf"_s, u"r[0001].pdf"_s});
    EXPECT_EQ(NextNumberedName(at(u"r.pdf"_s)), at(u"r[0002].pdf"_s));
}

TEST_F(NextNumberedNameTest, NumberedNameIsRenumberedFromScratch)
{
    make({u"r[0007].pdf"_s});
    EXPECT_EQ(NextNumberedName(at(u"r[0007].pdf"_s)), at(u"r.pdf"_s));
}

TEST_F(NextNumberedNameTest, NameWithoutExtension)
{
    make({u"data"_s});
    EXPECT_EQ(NextNumberedName(at(u"data"_s)), at(u"data[0001]"_s));
}

TEST_F(NextNumberedNameTest, FoldersDoNotCountAsTaken)
{
    make({u"r.pdf"_s});
    temp.makeFolder(u"r[0001].pdf"_s);
    EXPECT_EQ(NextNumberedName(at(u"r.pdf"_s)), at(u"r[0001].pdf"_s));
}

TEST_F(NextNumberedNameTest, LongBaseIsCutTo100Characters)
{
    const QString base = QString(150, u'x');
    make({base + u".pdf"_s});
    EXPECT_EQ(NextNumberedName(at(base + u".pdf"_s)), at(QString(100, u'x') + u".pdf"_s));
}

TEST(CollectFolders, ListsOwnEntriesFirstThenEachSubtree)
{
    TempFolder temp;
    for (const QString& f : {u"a/a1"_s, u"a/a2"_s, u"b/b1/deep"_s, u"RECYCLER"_s})
        temp.makeFolder(f);
    temp.writeFile(u"a/file.txt"_s);
    temp.writeFile(u"top.txt"_s);
    temp.writeFile(u"pagefile.sys"_s);
    temp.writeFile(u"b/PageFile.SYS"_s);
    const QString root = temp.path();

    QStringList folders;
    CollectSubfolders(root, folders, true);
    EXPECT_EQ(folders, (QStringList{root + u"/RECYCLER"_s, root + u"/a"_s, root + u"/b"_s, root + u"/a/a1"_s,
                                    root + u"/a/a2"_s, root + u"/b/b1"_s, root + u"/b/b1/deep"_s}));

    QStringList direct;
    CollectSubfolders(root + u'/', direct, false);
    EXPECT_EQ(direct.size(), 3);

    QStringList files;
    CollectFiles(root, files, true);
    EXPECT_EQ(files, (QStringList{root + u"/top.txt"_s, root + u"/a/file.txt"_s}));
}

TEST(CollectFolders, BadFoldersAddNothing)
{
    TempFolder temp;
    QStringList list;
    CollectSubfolders(u"relative/path"_s, list, true);
    CollectSubfolders(temp.filePath(u"missing"_s), list, true);
    CollectFiles(temp.writeFile(u"file"_s), list, true);
    CollectFiles(u""_s, list, true);
    EXPECT_TRUE(list.isEmpty());
}

TEST(CollectFolders, LinkLoopIsNotFollowed)
{
    TempFolder temp;
    temp.makeFolder(u"a"_s);
    ASSERT_TRUE(QFile::link(temp.filePath(u"a"_s), temp.filePath(u"a/loop"_s)));
    QStringList folders;
    CollectSubfolders(temp.path(), folders, true);
    EXPECT_EQ(folders, (QStringList{temp.filePath(u"a"_s), temp.filePath(u"a/loop"_s)}));
}

} // namespace
