#include "browsercache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

// An entry keeps its body and headers in "_0"; streams written apart and
// ranges of large bodies go to "_1" and "_s".
const QStringList kEntrySuffixes = {u"_0"_s, u"_1"_s, u"_s"_s};

} // namespace

BrowserCache::BrowserCache(QString cacheFolder, std::function<void()> clearRunning)
    : m_folder(std::move(cacheFolder))
    , m_clearRunning(std::move(clearRunning))
{
}

BrowserCache::Listing BrowserCache::Entries() const
{
    Listing listing;
    const QDir dir(m_folder);
    if (m_folder.isEmpty() || !dir.exists())
        return listing;
    if (!QFileInfo(m_folder).isReadable()) {
        listing.Failed = true;
        return listing;
    }
    const QStringList names = dir.entryList({u"*_0"_s}, QDir::Files | QDir::Hidden, QDir::Name);
    listing.Entries.reserve(names.size());
    for (const QString& name : names) {
        if (!IsCacheEntryFileName(name))
            continue;
        if (auto head = ReadCacheEntryHead(dir.filePath(name)))
            listing.Entries.append(std::move(*head));
    }
    return listing;
}

QString BrowserCache::GetCacheEntryFile(const QString& url) const
{
    if (url.isEmpty())
        return {};
    for (const CacheEntryHead& entry : Entries().Entries) {
        if (entry.Url == url)
            return entry.FilePath;
    }
    return {};
}

bool BrowserCache::DeleteEntry(const QString& entryFile) const
{
    // Only an entry file of this very folder: a path from anywhere else is left alone.
    const QFileInfo info(entryFile);
    if (!IsCacheEntryFileName(info.fileName()) || m_folder.isEmpty()
        || info.absoluteDir().canonicalPath() != QDir(m_folder).canonicalPath())
        return false;
    const QString stem = info.absoluteDir().filePath(info.fileName().chopped(2));
    for (const QString& suffix : kEntrySuffixes)
        QFile::remove(stem + suffix);
    return !QFileInfo::exists(entryFile);
}

void BrowserCache::ClearAll() const
{
    if (m_clearRunning) {
        m_clearRunning();
        return;
    }
    // By name, not by listing: an entry whose file cannot be read goes as well.
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({u"*_0"_s}, QDir::Files | QDir::Hidden))
        if (IsCacheEntryFileName(name))
            DeleteEntry(dir.filePath(name));
}

QString BrowserCache::EntryFolderOf(const QString& profileCachePath)
{
    return QDir(profileCachePath).filePath(u"Cache/Cache_Data"_s);
}
