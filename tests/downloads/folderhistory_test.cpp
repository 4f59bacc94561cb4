#include "core/legacytext.h"
#include "downloads/list/folderhistory.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(FolderHistory, MissingFileLeavesEntries)
{
    TempFolder temp;
    QStringList entries{u"/kept"_s};
    LoadFolderHistory(entries, temp.filePath(u"SaveList.dat"_s));
    EXPECT_EQ(entries, QStringList{u"/kept"_s});
}

TEST(FolderHistory, DuplicatesInOtherCaseLoadOnceAsFirstWritten)
{
    TempFolder temp;
    const QString file = temp.writeFile(u"SaveList.dat"_s, "/Data/Papers\r\n/data/papers\r\n  \r\n\r\n /other \r\n");
    QStringList entries{u"/design-time"_s};
    LoadFolderHistory(entries, file);
    EXPECT_EQ(entries, (QStringList{u"/Data/Papers"_s, u"/other"_s}));
}

TEST(FolderHistory, OnlyTheFirstHundredNonEmptyLinesAreRead)
{
    TempFolder temp;
    QByteArray content;
    for (int i = 1; i <= 150; ++i)
        content += "/f" + QByteArray::number(i) + "\r\n" + (i % 10 == 0 ? "   \r\n" : "");
    const QString file = temp.writeFile(u"SaveList.dat"_s, content);
    QStringList entries;
    LoadFolderHistory(entries, file);
    ASSERT_EQ(entries.size(), 100);
    EXPECT_EQ(entries.back(), u"/f100"_s);
}

TEST(FolderHistory, WritesLegacyBytesWithCrLfAndReadsThemBack)
{
    TempFolder temp;
    const QString file = temp.filePath(u"SaveList.dat"_s);
    const QStringList folders{u"/home/用户/文献"_s, u"/data/a b/"_s, u"/data/a b/"_s};
    ASSERT_TRUE(SaveFolderHistory(folders, file));
    EXPECT_EQ(readAll(file), legacytext::encode(u"/home/用户/文献\r\n/data/a b/\r\n/data/a b/\r\n"_s));

    QStringList loaded;
    LoadFolderHistory(loaded, file);
    EXPECT_EQ(loaded, (QStringList{u"/home/用户/文献"_s, u"/data/a b/"_s}));
}

TEST(FolderHistory, EmptyListWritesOneEmptyLine)
{
    TempFolder temp;
    const QString file = temp.filePath(u"SaveList.dat"_s);
    ASSERT_TRUE(SaveFolderHistory({}, file));
    EXPECT_EQ(readAll(file), QByteArray("\r\n"));
}

TEST(FolderHistory, ReadsUtf8AndSkipsUndecodableLines)
{
    TempFolder temp;
    const QString file = temp.writeFile(
        u"SaveList.dat"_s, "/utf8/\xE6\x96\x87\xE7\x8C\xAE\n\xFF\xFF\xFF\n" + legacytext::encode(u"/gb/文献\r\n"_s));
    QStringList entries;
    LoadFolderHistory(entries, file);
    EXPECT_EQ(entries, (QStringList{u"/utf8/文献"_s, u"/gb/文献"_s}));
}

TEST(FolderHistory, BinaryGarbageNeverCrashesAndStopsEarly)
{
    TempFolder temp;
    QByteArray garbage(10 * 1024 * 1024, '\0');
    QRandomGenerator generator(42);
    generator.fillRange(reinterpret_cast<quint32*>(garbage.data()), garbage.size() / 4);
    const QString file = temp.writeFile(u"SaveList.dat"_s, garbage);
    QStringList entries;
    LoadFolderHistory(entries, file);
    EXPECT_LE(entries.size(), 100);
}

TEST(FolderHistory, UnwritablePlaceReportsFailure)
{
    TempFolder temp;
    EXPECT_FALSE(SaveFolderHistory({u"/x"_s}, temp.filePath(u"missing/folder/SaveList.dat"_s)));
}

} // namespace
