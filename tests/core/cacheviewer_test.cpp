#include "core/browsercache.h"
#include "core/cacheviewer.h"
#include "core/copyrun.h"
#include "support/cacheentrywriter.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A machine in a scratch folder: homes below home/, the current user's cache
// in its own home, entries written by the test.
struct CacheViewerTest : ::testing::Test {
    CacheViewerTest()
        : ownHome(temp.makeFolder(u"home/me"_s))
        , folder(temp.makeFolder(u"home/me/.cache/Paperpull/browser/Cache/Cache_Data"_s))
        , cache(folder, [this] { ++browserCleared; })
        , viewer(cache, {{temp.filePath(u"home"_s)}, {}, ownHome})
    {
    }

    QString entry(int n, const QByteArray& url, qint64 bodySize)
    {
        return WriteCacheEntry(folder, CacheEntryName(static_cast<quint64>(n)),
                               {"1/0/" + url, QByteArray(bodySize, 'b')});
    }

    QStringList column(int column) const
    {
        QStringList texts;
        const CacheEntryTableModel& model = const_cast<CacheViewer&>(viewer).entries();
        for (int row = 0; row < model.rowCount(); ++row)
            texts.append(model.index(row, column).data().toString());
        return texts;
    }

    bool sizesDone() { return QTest::qWaitFor([this] { return !viewer.sizesPending(); }, 5000); }

    TempFolder temp;
    QString ownHome;
    QString folder;
    int browserCleared = 0;
    BrowserCache cache;
    CacheViewer viewer;
};

TEST_F(CacheViewerTest, MyCacheShowsTheCountFirstAndTheSizesAfter)
{
    const QString pdf = entry(1, "http://127.0.0.1/doi/pdf/a.pdf", 1000);
    entry(2, "http://127.0.0.1/page.html?x=1", 900);
    CacheEntrySpec broken{"1/0/http://127.0.0.1/broken", "x"};
    broken.KeyLengthField = 999;
    WriteCacheEntry(folder, CacheEntryName(3), broken);
    EXPECT_EQ(viewer.countLine(), u"000"_s);

    viewer.ShowMyCache();
    EXPECT_EQ(viewer.countLine(), u"共有2 个文件"_s);
    EXPECT_EQ(viewer.viewTag(), u"我的缓存"_s);
    EXPECT_EQ(column(0), QStringList({u"http://127.0.0.1/doi/pdf/a.pdf"_s, u"http://127.0.0.1/page.html?x=1"_s}));
    EXPECT_EQ(column(1), QStringList({u"pdf"_s, u"html"_s}));
    EXPECT_EQ(column(3).first(), pdf);
    EXPECT_EQ(column(2), QStringList({QString(), QString()})) << "sizes come in later turns";

    ASSERT_TRUE(sizesDone());
    EXPECT_EQ(column(2), QStringList({u"1000"_s, u"900"_s}));
}

TEST_F(CacheViewerTest, DeletingKeepsCookiesInAnyCaseAndRefreshesTheView)
{
    const QString a = entry(1, "http://h/a.pdf", 10);
    const QString b = entry(2, "http://h/b.pdf", 10);
    const QString cookie = entry(3, "http://h/setCOOKIE?id=1", 10);
    viewer.ShowMyCache();

    viewer.DeleteRows({0});
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_TRUE(QFile::exists(b));
    EXPECT_EQ(column(0), QStringList({u"http://h/b.pdf"_s, u"http://h/setCOOKIE?id=1"_s}));
    EXPECT_EQ(viewer.countLine(), u"共有2 个文件"_s);

    viewer.DeleteRows({1});
    viewer.DeleteAllRows();
    EXPECT_FALSE(QFile::exists(b));
    EXPECT_TRUE(QFile::exists(cookie));
    EXPECT_EQ(column(0), QStringList({u"http://h/setCOOKIE?id=1"_s}));
}

TEST_F(CacheViewerTest, SizeSortIsNumericAndTheOrderToggles)
{
    entry(1, "http://h/b", 1000);
    entry(2, "http://h/C", 900);
    entry(3, "http://h/a", 50);
    viewer.ShowMyCache();
    ASSERT_TRUE(sizesDone());

    viewer.SortByColumn(CacheEntryTableModel::SizeColumn);
    EXPECT_EQ(column(2), QStringList({u"1000"_s, u"900"_s, u"50"_s}));
    viewer.SortByColumn(CacheEntryTableModel::SizeColumn);
    EXPECT_EQ(column(2), QStringList({u"50"_s, u"900"_s, u"1000"_s}));
    // The order turns round on every click, whichever column.
    viewer.SortByColumn(CacheEntryTableModel::UrlColumn);
    EXPECT_EQ(column(0), QStringList({u"http://h/C"_s, u"http://h/b"_s, u"http://h/a"_s}));
    // Rows added later are not sorted in; a new listing is in file order.
    viewer.ShowMyCache();
    EXPECT_EQ(column(0), QStringList({u"http://h/b"_s, u"http://h/C"_s, u"http://h/a"_s}));
}

TEST_F(CacheViewerTest, AllUsersViewListsEveryFileAndDeletesAllButText)
{
    const QString other = temp.makeFolder(u"home/ann/.cache/Paperpull/browser/Cache/Cache_Data"_s);
    temp.makeFolder(u"home/bob"_s); // no cache of the program
    const QString mine = entry(1, "http://h/a.pdf", 10);
    const QString annEntry = WriteCacheEntry(other, CacheEntryName(7), {"1/0/http://h/x", "xx"});
    const QString lower = temp.writeFile(u"home/ann/.cache/Paperpull/browser/Cache/Cache_Data/note.txt"_s, "keep");
    const QString upper = temp.writeFile(u"home/ann/.cache/Paperpull/browser/Cache/Cache_Data/sub/deeper/LIST.TXT"_s, "keep");
    const QString doomed = temp.writeFile(u"home/ann/.cache/Paperpull/browser/Cache/Cache_Data/index-dir/the-real-index"_s, "i");
    temp.makeFolder(u"home/ann/.cache/Paperpull/browser/Cache/Cache_Data/empty/inner"_s);
    // A link out of the cache: the link goes, what it points to stays as it was.
    const QString outside = temp.writeFile(u"outside.pdf"_s, "mine");
    QFile::setPermissions(outside, QFileDevice::ReadOwner);
    ASSERT_TRUE(QFile::link(outside, other + u"/link.pdf"_s));

    viewer.ShowAllUsersCaches();
    EXPECT_EQ(viewer.viewTag(), u"所有缓存"_s);
    EXPECT_EQ(viewer.countLine(), u"共有6 个文件"_s);
    const QList<QStringList> users = viewer.users().rows();
    ASSERT_EQ(users.size(), 2);
    EXPECT_EQ(users[0], QStringList({u"ann"_s, other}));
    EXPECT_EQ(users[1].first(), u"me"_s);
    EXPECT_EQ(viewer.subfolders().rowCount(), 5); // empty, index-dir, sub, empty/inner, sub/deeper
    const QStringList texts = column(0);
    EXPECT_EQ(texts.count(u"用户:ann"_s), 5);
    EXPECT_EQ(texts.count(u"用户:me"_s), 1);
    const int noteRow = static_cast<int>(column(3).indexOf(lower));
    ASSERT_GE(noteRow, 0);
    EXPECT_EQ(column(1)[noteRow], u"txt"_s);
    EXPECT_EQ(column(2)[noteRow], u"4"_s);

    viewer.DeleteAllRows();
    for (const QString& gone : {mine, annEntry, doomed, QString(other + u"/link.pdf"_s)})
        EXPECT_FALSE(QFileInfo(gone).exists() || QFileInfo(gone).isSymLink()) << gone.toStdString();
    EXPECT_EQ(QFile::permissions(outside) & (QFileDevice::ReadOwner | QFileDevice::WriteOwner), QFileDevice::ReadOwner);
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_TRUE(QFile::exists(lower));
    EXPECT_TRUE(QFile::exists(upper));
    // Emptied folders go deepest first; one still holding a file stays.
    EXPECT_FALSE(QFileInfo::exists(other + u"/empty"_s));
    EXPECT_FALSE(QFileInfo::exists(other + u"/index-dir"_s));
    EXPECT_TRUE(QFileInfo::exists(other + u"/sub/deeper"_s));
    EXPECT_TRUE(QFileInfo::exists(folder));
    EXPECT_EQ(viewer.countLine(), u"共有2 个文件"_s) << "the all-users view was shown again";
}

TEST_F(CacheViewerTest, CopyingGivesTheDocumentsTheEntriesHold)
{
    const QString pdf = entry(1, "http://h/doi/pdf/10.1021/jacs.5b01.pdf?download=1", 300);
    const QString bare = entry(2, "http://h/", 20);
    viewer.ShowMyCache();
    // Asked before the sizes were read: read now.
    const QList<CopySource> sources = viewer.CopySources({1, 0, 1});
    ASSERT_EQ(sources.size(), 2);
    EXPECT_EQ(sources[0].Path, pdf);
    EXPECT_EQ(sources[0].Length, 300);
    EXPECT_EQ(sources[0].Name, u"jacs.5b01.pdf"_s);
    EXPECT_EQ(sources[1].Path, bare);
    EXPECT_EQ(sources[1].Name, QFileInfo(bare).fileName());
    // What arrives in the folder is the document itself.
    const QString out = temp.makeFolder(u"out"_s) + u'/';
    ASSERT_TRUE(CopyRun::CopyOne(sources[0], out, ExistingFilePolicy::SameSizeAndTime));
    QFile copied(out + u"jacs.5b01.pdf"_s);
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), QByteArray(300, 'b'));

    const QString file = temp.writeFile(u"home/me/.cache/Paperpull/browser/Cache/Cache_Data/loose.bin"_s, "abc");
    viewer.ShowAllUsersCaches();
    const int row = static_cast<int>(column(3).indexOf(file));
    const QList<CopySource> whole = viewer.CopySources({row});
    ASSERT_EQ(whole.size(), 1);
    EXPECT_EQ(whole[0].Path, file);
    EXPECT_EQ(whole[0].Length, -1);
}

TEST_F(CacheViewerTest, ClearingTellsTheBrowserOnlyWhenNothingProtectedIsLeft)
{
    entry(1, "http://h/a.pdf", 10);
    viewer.ClearBrowserCache();
    EXPECT_TRUE(cache.Entries().Entries.isEmpty());
    EXPECT_EQ(browserCleared, 1);

    entry(2, "http://h/b.pdf", 10);
    const QString cookie = entry(3, "http://h/Cookie/jar", 10);
    viewer.ClearBrowserCache();
    EXPECT_EQ(cache.Entries().Entries.size(), 1);
    EXPECT_TRUE(QFile::exists(cookie));
    EXPECT_EQ(browserCleared, 1);
}

} // namespace
