#include "core/browsercache.h"
#include "core/cacheentryfile.h"
#include "core/usercachefolders.h"
#include "support/cacheentrywriter.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(CacheKey, NamesItsAddress)
{
    struct Case {
        const char* Name;
        QString Key;
        QString Url;
        bool Post;
    };
    const Case cases[] = {
        {"plain", u"1/0/https://pubs.example.org/doi/pdf/10.1021/a.pdf"_s, u"https://pubs.example.org/doi/pdf/10.1021/a.pdf"_s, false},
        {"post", u"1/1652345/https://pubs.example.org/action/search"_s, u"https://pubs.example.org/action/search"_s, true},
        {"split by site", u"1/0/_dk_https://example.org https://example.org https://cdn.example.net/x.js"_s,
         u"https://cdn.example.net/x.js"_s, false},
        {"split post", u"0/7/_dk_s_https://a.org https://b.org http://b.org/form"_s, u"http://b.org/form"_s, true},
        {"bare address", u"https://old.example.org/a"_s, u"https://old.example.org/a"_s, false},
    };
    for (const Case& c : cases) {
        bool post = !c.Post;
        EXPECT_EQ(UrlFromCacheKey(c.Key, &post), c.Url) << c.Name;
        EXPECT_EQ(post, c.Post) << c.Name;
    }
}

// Broken files are passed over, whole ones read; a body whose end records are
// missing is not guessed at.
TEST(CacheEntryFile, ReadsWholeEntriesAndPassesOverBrokenOnes)
{
    TempFolder temp;
    const QByteArray key = "1/0/http://127.0.0.1/paper.pdf";
    const QByteArray body = "%PDF-1.4 a small document";
    struct Case {
        const char* Name;
        CacheEntrySpec Spec;
        bool Head;
        qint64 BodySize; // -1: no body found
    };
    CacheEntrySpec whole{key, body};
    CacheEntrySpec noKeyHash{key, body};
    noKeyHash.KeyHash = false;
    CacheEntrySpec emptyBody{key, {}};
    CacheEntrySpec wrongMagic{key, body};
    wrongMagic.Magic = 0x1122334455667788ULL;
    CacheEntrySpec shortHeader{key, body};
    shortHeader.CutTo = 20;
    CacheEntrySpec keyPastEnd{key, body};
    keyPastEnd.KeyLengthField = 4000;
    CacheEntrySpec cutInBody{key, body};
    cutInBody.CutTo = kCacheHeaderSize + key.size() + 5;
    CacheEntrySpec cutInEnd{key, body};
    cutInEnd.CutTo = CacheEntryBytes(whole).size() - 3;
    const Case cases[] = {
        {"whole", whole, true, body.size()},
        {"without key hash", noKeyHash, true, body.size()},
        {"empty body", emptyBody, true, 0},
        {"wrong magic", wrongMagic, false, -1},
        {"cut in the header", shortHeader, false, -1},
        {"key longer than the file", keyPastEnd, false, -1},
        {"cut in the body", cutInBody, true, -1},
        {"cut in the last end record", cutInEnd, true, -1},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = WriteCacheEntry(temp.path(), CacheEntryName(++n), c.Spec);
        const auto head = ReadCacheEntryHead(path);
        ASSERT_EQ(head.has_value(), c.Head) << c.Name;
        if (!head)
            continue;
        EXPECT_EQ(head->Url, u"http://127.0.0.1/paper.pdf"_s) << c.Name;
        const auto found = ReadCacheEntryBody(path, head->KeyLength);
        EXPECT_EQ(found ? found->Size : -1, c.BodySize) << c.Name;
        if (found && found->Size > 0) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            file.seek(found->Offset);
            EXPECT_EQ(file.read(found->Size), body) << c.Name;
        }
    }
}

TEST(BrowserCache, ListsEntriesAndFindsAnEntryByAddress)
{
    TempFolder temp;
    const QString folder = temp.path() + u"/Cache/Cache_Data"_s;
    const QString a = WriteCacheEntry(folder, CacheEntryName(1), {"1/0/http://h/a.pdf", "aaaa"});
    WriteCacheEntry(folder, CacheEntryName(2), {"1/3/http://h/form", ""});
    CacheEntrySpec broken{"1/0/http://h/broken", "x"};
    broken.Magic = 1;
    WriteCacheEntry(folder, CacheEntryName(3), broken);
    // Files of the folder that are no entries' main files.
    temp.writeFile(u"Cache/Cache_Data/index"_s, "index");
    WriteCacheEntry(folder, u"0000000000000001_1"_s, {"1/0/http://h/side", "s"});
    WriteCacheEntry(folder, u"short_0"_s, {"1/0/http://h/odd", "o"});

    const BrowserCache cache(BrowserCache::EntryFolderOf(temp.path()));
    EXPECT_EQ(cache.GetCacheFolder(), folder);
    const BrowserCache::Listing listing = cache.Entries();
    EXPECT_FALSE(listing.Failed);
    ASSERT_EQ(listing.Entries.size(), 2);
    EXPECT_EQ(listing.Entries[0].Url, u"http://h/a.pdf"_s);
    EXPECT_FALSE(listing.Entries[0].IsPost);
    EXPECT_EQ(listing.Entries[1].Url, u"http://h/form"_s);
    EXPECT_TRUE(listing.Entries[1].IsPost);
    EXPECT_EQ(cache.GetCacheEntryFile(u"http://h/a.pdf"_s), a);
    EXPECT_EQ(cache.GetCacheEntryFile(u"http://h/broken"_s), QString());

    const BrowserCache missing(temp.path() + u"/never"_s);
    EXPECT_TRUE(missing.Entries().Entries.isEmpty());
    EXPECT_FALSE(missing.Entries().Failed);
}

TEST(BrowserCache, DeletesOnlyEntryFilesOfItsOwnFolder)
{
    TempFolder temp;
    const QString folder = temp.makeFolder(u"cache"_s);
    const QString entry = WriteCacheEntry(folder, CacheEntryName(10), {"1/0/http://h/a", "a"});
    const QString side = temp.writeFile(u"cache/000000000000000a_1"_s, "side");
    const QString sparse = temp.writeFile(u"cache/000000000000000a_s"_s, "sparse");
    const QString other = WriteCacheEntry(folder, CacheEntryName(11), {"1/0/http://h/b", "b"});
    const QString elsewhere = WriteCacheEntry(temp.path() + u"/elsewhere"_s, CacheEntryName(10), {"1/0/http://h/a", "a"});
    const QString index = temp.writeFile(u"cache/index"_s, "index");

    const BrowserCache cache(folder);
    EXPECT_FALSE(cache.DeleteEntry(elsewhere));
    EXPECT_FALSE(cache.DeleteEntry(index));
    EXPECT_TRUE(QFile::exists(elsewhere));
    EXPECT_TRUE(QFile::exists(index));

    EXPECT_TRUE(cache.DeleteEntry(entry));
    for (const QString& gone : {entry, side, sparse})
        EXPECT_FALSE(QFile::exists(gone)) << gone.toStdString();
    EXPECT_TRUE(QFile::exists(other));
}

TEST(BrowserCache, ClearAllAsksTheRunningBrowserOrRemovesTheEntries)
{
    TempFolder temp;
    const QString folder = temp.makeFolder(u"cache"_s);
    const QString entry = WriteCacheEntry(folder, CacheEntryName(1), {"1/0/http://h/a", "a"});
    CacheEntrySpec unreadable{"1/0/http://h/b", "b"};
    unreadable.Magic = 7;
    const QString broken = WriteCacheEntry(folder, CacheEntryName(2), unreadable);
    const QString index = temp.writeFile(u"cache/index"_s, "index");

    int asked = 0;
    BrowserCache(folder, [&asked] { ++asked; }).ClearAll();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(QFile::exists(entry)); // the browser does it its own way

    BrowserCache(folder).ClearAll();
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_FALSE(QFile::exists(broken));
    EXPECT_TRUE(QFile::exists(index));
}

TEST(UserCacheFolders, FindsTheProgramsCacheInEveryHomeThatHasOne)
{
    TempFolder temp;
    const QString below = u".cache/Paperpull/browser/Cache/Cache_Data"_s;
    temp.makeFolder(u"home/alice/"_s + below);
    temp.makeFolder(u"home/bob/.cache"_s);           // never ran the program
    temp.writeFile(u"home/notes.txt"_s, "not a home"); // a file among the homes
    temp.makeFolder(u"root/"_s + below);

    const QStringList homes = FindHomeFolders({temp.filePath(u"home"_s)}, {temp.filePath(u"root"_s), temp.filePath(u"nobody"_s)});
    EXPECT_EQ(homes, QStringList({temp.filePath(u"home/alice"_s), temp.filePath(u"home/bob"_s), temp.filePath(u"root"_s)}));

    const QList<UserCacheFolder> found = FindUserCacheFolders(homes, below);
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].UserName, u"alice"_s);
    EXPECT_EQ(found[0].Folder, temp.filePath(u"home/alice/"_s + below));
    EXPECT_EQ(found[1].UserName, u"root"_s);

    EXPECT_EQ(CacheFolderBelowHome(u"/home/ann/.cache/x/Cache/Cache_Data"_s, u"/home/ann/"_s), u".cache/x/Cache/Cache_Data"_s);
    EXPECT_EQ(CacheFolderBelowHome(u"/var/cache/x"_s, u"/home/ann"_s), below);
    EXPECT_EQ(CacheFolderBelowHome(u"/home/annex/.cache/x/Cache/Cache_Data"_s, u"/home/ann"_s), below);
    // Never a place that would make a home's other files cache files.
    EXPECT_EQ(CacheFolderBelowHome(u"/home/ann"_s, u"/home/ann"_s), below);
    EXPECT_EQ(CacheFolderBelowHome(u"/home/ann/Documents"_s, u"/home/ann"_s), below);
}

} // namespace
