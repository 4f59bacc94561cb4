#pragma once

#include "cacheentrytablemodel.h"
#include "copysource.h"
#include "texttablemodel.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

class BrowserCache;

// The cache viewer's logic: the current user's entries, every user's cache
// files, deleting rows, sorting and what goes to the copy dialog. The window
// only shows the three models and the count line.
class CacheViewer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CacheViewer)

public:
    // Where the all-users view looks for homes.
    struct Homes {
        QStringList Roots;  // folders of homes, such as "/home"
        QStringList Single; // single homes, such as "/root"
        QString Current;    // the current user's home
    };

    CacheViewer(BrowserCache& cache, Homes homes, QObject* parent = nullptr);

    // The window's three lists: entries (ListView1), users (ListView2), subfolders (ListView3).
    CacheEntryTableModel& entries() { return m_entries; }
    TextTableModel& users() { return m_users; }
    TextTableModel& subfolders() { return m_subfolders; }
    QString countLine() const { return m_countLine; }
    QString viewTag() const { return m_viewTag; }
    bool sizesPending() const { return m_sizeTimer.isActive(); }
    bool descending() const { return m_descending; }

    // "查看我的缓存" (Command1): addresses first, then (a turn at a time) the sizes.
    void ShowMyCache();
    // "查看所有用户缓存" (Command7).
    void ShowAllUsersCaches();
    // "删除所选文件" (Command2) on the given rows; "全部删除" (Command3).
    void DeleteRows(const QList<int>& rows);
    void DeleteAllRows();
    // A click on the entries' header: that column, the order turned round.
    void SortByColumn(int column);
    // "复制选中...": what the selected rows hold, first to last.
    QList<CopySource> CopySources(const QList<int>& rows) const;

    // Lists the own cache and deletes it, then every user's cache; the
    // running browser clears itself as well when nothing protected is left.
    void ClearBrowserCache();

    static inline const QString kMyCacheTag = QStringLiteral("我的缓存");
    static inline const QString kAllCachesTag = QStringLiteral("所有缓存");

signals:
    void countLineChanged(const QString& text);
    // A view was built: the lists' columns want fitting to their contents.
    void listed();

private:
    void listOwnCacheEntries();
    void fillSomeSizes();
    void deleteRows(const QList<int>& rows);
    void setCountLine(const QString& text);

    BrowserCache& m_cache;
    Homes m_homes;
    CacheEntryTableModel m_entries;
    TextTableModel m_users;
    TextTableModel m_subfolders;
    QString m_countLine = QStringLiteral("000");
    QString m_viewTag;
    QStringList m_profileFolders;
    QStringList m_cacheSubfolders;
    bool m_descending = false;
    QTimer m_sizeTimer;
    int m_sizeCursor = 0;
};
