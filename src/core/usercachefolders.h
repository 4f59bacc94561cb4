#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The caches of this program under every home folder on the machine, for the
// cache viewer's all-users view.
struct UserCacheFolder {
    QString UserName; // the home folder's name
    QString Folder;   // the cache folder in that home
};

// The home folders: those directly below each root of homes ("/home"), then
// each single home ("/root") that exists.
QStringList FindHomeFolders(const QStringList& homesRoots, const QStringList& singleHomes);

// Where the cache lies relative to a home folder: the cache folder's place
// below the current home, or the place the program uses by default when the
// cache lies elsewhere (another user's cache folder setting is not known) or
// is not an entry folder ("…/Cache_Data").
QString CacheFolderBelowHome(const QString& cacheFolder, const QString& homeFolder);

// Every home whose cache folder exists and can be entered, in the order of
// homes. Homes the user may not enter contribute nothing.
QList<UserCacheFolder> FindUserCacheFolders(const QStringList& homes, const QString& relativeCacheFolder);
