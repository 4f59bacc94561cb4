#pragma once

#include "cacheentryfile.h"

#include <QList>
#include <QString>

#include <functional>

// The program's browser cache on disk: its entries, read from the entry files
// without the browser, and their removal.
class BrowserCache final {
public:
    // cacheFolder holds the entry files. clearRunning, when given, makes the
    // running browser drop its whole cache (and its own index of it).
    explicit BrowserCache(QString cacheFolder, std::function<void()> clearRunning = {});

    // The folder the entry files are in.
    QString GetCacheFolder() const { return m_folder; }

    struct Listing {
        QList<CacheEntryHead> Entries; // in file name order
        bool Failed = false;           // the folder is there but cannot be read
    };
    // Every readable entry; files that are not entries are passed over. A
    // missing folder (the browser never ran) lists nothing and is no failure.
    Listing Entries() const;

    // The entry file of the first entry for the address, or empty.
    QString GetCacheEntryFile(const QString& url) const;

    // Removes the files of the entry whose main file this is; false when the
    // path is not an entry file of this cache or its main file stays.
    bool DeleteEntry(const QString& entryFile) const;

    // The running browser clears itself when it can; otherwise every entry's
    // files are removed (the folder's index files stay: the engine rebuilds
    // them).
    void ClearAll() const;

    // The default place of the entry files below a profile's cache path.
    static QString EntryFolderOf(const QString& profileCachePath);

private:
    QString m_folder;
    std::function<void()> m_clearRunning;
};
