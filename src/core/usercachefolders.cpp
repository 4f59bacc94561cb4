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
    const QString below = cache.startsWith(home) ? cache.sliced(home.size()) : QString();
    // Every file below this place in every home is deleted by "全部删除": it
    // has to be the engine's own entry folder, never a home's whole content.
    if (homeFolder.isEmpty() || !below.endsWith(u"/Cache_Data"_s) || below.split(u'/').contains(u".."_s))
        return u".cache/Paperpull/browser/Cache/Cache_Data"_s;
    return below;
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
