#include "usercachefolders.h"

#include "pathfunctions.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

QStringList FindHomeFolders(const QStringList& homesRoots, const QStringList& singleHomes)
{
    QStringList homes;
    for (const QString& root : homesRoots)
        CollectSubfolders(root, homes, false);
    for (const QString& home : singleHomes) {
        if (FolderExists(home))
            homes.append(QDir::cleanPath(home));
    }
    homes.removeAll(QString());
    return homes;
}

QString CacheFolderBelowHome(const QString& cacheFolder, const QString& homeFolder)
{
    const QString home = QDir::cleanPath(homeFolder) + u'/';
    const QString cache = QDir::cleanPath(cacheFolder);
    if (!homeFolder.isEmpty() && cache.startsWith(home))
        return cache.sliced(home.size());
    return u".cache/Paperpull/browser/Cache/Cache_Data"_s;
}

QList<UserCacheFolder> FindUserCacheFolders(const QStringList& homes, const QString& relativeCacheFolder)
{
    QList<UserCacheFolder> found;
    for (const QString& home : homes) {
        if (home.isEmpty())
            continue;
        const QString folder = QDir(home).filePath(relativeCacheFolder);
        const QFileInfo info(folder);
        if (info.isDir() && info.isReadable() && info.isExecutable())
            found.append({QFileInfo(QDir::cleanPath(home)).fileName(), folder});
    }
    return found;
}
