#include "cacheviewer.h"

#include "browsercache.h"
#include "pathfunctions.h"
#include "textfunctions.h"
#include "urlfunctions.h"
#include "usercachefolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <numeric>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kUserPrefix = u"用户:"_s;
// Sizes are read this many rows a turn, so the window keeps answering while
// a large cache is listed.
constexpr int kSizesPerTurn = 500;

QString countText(qsizetype rows)
{
    return u"共有"_s + QString::number(rows) + u" 个文件"_s;
}

// Cookies are never deleted: the user's sign-ins live there.
bool isProtectedUrl(const QString& url)
{
    return url.contains(u"cookie"_s, Qt::CaseInsensitive);
}

// Seen as a plain file in the all-users view, an entry for a cookie address
// is kept all the same.
bool holdsProtectedEntry(const QString& path)
{
    if (!IsCacheEntryFileName(QFileInfo(path).fileName()))
        return false;
    const auto head = ReadCacheEntryHead(path);
    return head && isProtectedUrl(head->Url);
}

// A file's attributes are made plain first, so a read-only file goes as well;
// a link goes as a link, and what it points to is not touched.
void deleteFile(const QString& path)
{
    if (!QFileInfo(path).isSymLink())
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    QFile::remove(path);
}

// The name a cached document is copied out under: the address's file name,
// or the entry file's own when the address has none.
QString documentName(const CacheRow& row)
{
    const QString name = SafeFileName(QUrl(row.Url).fileName());
    return name.isEmpty() ? QFileInfo(row.FilePath).fileName() : name;
}

QList<int> inOrder(QList<int> rows, qsizetype count)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([count](int row) { return row < 0 || row >= count; });
    return rows;
}

} // namespace

CacheViewer::CacheViewer(BrowserCache& cache, Homes homes, QObject* parent)
    : QObject(parent)
    , m_cache(cache)
    , m_homes(std::move(homes))
    , m_users({u"用户名"_s, u"文件夹"_s})
    , m_subfolders({u"文件夹"_s})
{
    m_sizeTimer.setInterval(0);
    connect(&m_sizeTimer, &QTimer::timeout, this, &CacheViewer::fillSomeSizes);
}

void CacheViewer::ShowMyCache()
{
    listOwnCacheEntries();
    m_viewTag = kMyCacheTag;
    emit listed();
}

void CacheViewer::listOwnCacheEntries()
{
    m_sizeTimer.stop();
    const BrowserCache::Listing listing = m_cache.Entries();
    QList<CacheRow> rows;
    rows.reserve(listing.Entries.size());
    for (const CacheEntryHead& entry : listing.Entries) {
        CacheRow row;
        row.Text = entry.Url;
        row.Type = UrlFileExtension(entry.Url);
        row.FilePath = entry.FilePath;
        row.Url = entry.Url;
        row.KeyLength = entry.KeyLength;
        row.SizePending = true;
        rows.append(std::move(row));
    }
    m_entries.setRows(std::move(rows));
    if (listing.Failed) {
        setCountLine(u"出错!!!"_s + countText(m_entries.rowCount()));
        return;
    }
    // The count is shown now; the sizes follow a turn at a time.
    setCountLine(countText(m_entries.rowCount()));
    m_sizeCursor = 0;
    if (m_entries.rowCount() > 0)
        m_sizeTimer.start();
}

void CacheViewer::fillSomeSizes()
{
    const int count = m_entries.rowCount();
    int done = 0;
    int first = -1;
    int last = -1;
    for (; m_sizeCursor < count && done < kSizesPerTurn; ++m_sizeCursor) {
        const CacheRow& row = m_entries.row(m_sizeCursor);
        if (!row.SizePending)
            continue;
        const auto body = ReadCacheEntryBody(row.FilePath, row.KeyLength);
        m_entries.setSize(m_sizeCursor, body ? body->Size : -1, body ? body->Offset : -1);
        if (first < 0)
            first = m_sizeCursor;
        last = m_sizeCursor;
        ++done;
    }
    m_entries.announceSizes(first, last);
    if (m_sizeCursor >= count) {
        m_sizeTimer.stop();
        emit listed();
    }
}

void CacheViewer::ShowAllUsersCaches()
{
    m_sizeTimer.stop();
    const QStringList homes = FindHomeFolders(m_homes.Roots, m_homes.Single);
    const QString belowHome = CacheFolderBelowHome(m_cache.GetCacheFolder(), m_homes.Current);
    m_profileFolders = homes;
    m_cacheSubfolders.clear();

    const QList<UserCacheFolder> users = FindUserCacheFolders(homes, belowHome);
    QList<QStringList> userRows;
    for (const UserCacheFolder& user : users) {
        userRows.append({user.UserName, user.Folder});
        CollectSubfolders(user.Folder, m_cacheSubfolders, true);
    }
    m_cacheSubfolders.removeAll(QString());
    m_users.setRows(userRows);
    QList<QStringList> subfolderRows;
    for (const QString& folder : std::as_const(m_cacheSubfolders))
        subfolderRows.append({folder});
    m_subfolders.setRows(subfolderRows);

    QList<CacheRow> rows;
    for (const UserCacheFolder& user : users) {
        QStringList files;
        CollectFiles(user.Folder, files, true);
        for (const QString& file : std::as_const(files)) {
            if (file.isEmpty())
                continue;
            CacheRow row;
            row.Text = kUserPrefix + user.UserName;
            row.Type = UrlFileExtension(file);
            row.Size = QFileInfo(file).size();
            row.FilePath = file;
            rows.append(std::move(row));
        }
    }
    m_entries.setRows(std::move(rows));
    setCountLine(countText(m_entries.rowCount()));
    m_viewTag = kAllCachesTag;
    emit listed();
}

void CacheViewer::DeleteRows(const QList<int>& rows)
{
    deleteRows(rows);
}

void CacheViewer::DeleteAllRows()
{
    QList<int> all(m_entries.rowCount());
    std::iota(all.begin(), all.end(), 0);
    deleteRows(all);
}

void CacheViewer::deleteRows(const QList<int>& rows)
{
    m_sizeTimer.stop();
    for (int index : inOrder(rows, m_entries.rowCount())) {
        const CacheRow& row = m_entries.row(index);
        if (row.Text.startsWith(kUserPrefix)) {
            if (!row.FilePath.isEmpty() && row.Type.toLower() != u"txt"_s && !holdsProtectedEntry(row.FilePath))
                deleteFile(row.FilePath);
        } else if (!row.Url.isEmpty() && !isProtectedUrl(row.Url) && !row.FilePath.isEmpty()) {
            // The entry's file is the entry: a protected address keeps both.
            m_cache.DeleteEntry(row.FilePath);
        }
    }
    // Deepest first, so a folder's subfolders are gone before it; one still
    // holding anything stays.
    for (auto folder = m_cacheSubfolders.crbegin(); folder != m_cacheSubfolders.crend(); ++folder)
        QDir().rmdir(*folder);

    if (m_viewTag == kMyCacheTag)
        ShowMyCache();
    else if (m_viewTag == kAllCachesTag)
        ShowAllUsersCaches();
}

void CacheViewer::SortByColumn(int column)
{
    m_descending = !m_descending;
    m_entries.sortRows(column, m_descending);
    // Rows moved: the size pass starts over and passes the rows already done.
    m_sizeCursor = 0;
}

QList<CopySource> CacheViewer::CopySources(const QList<int>& rows) const
{
    QList<CopySource> sources;
    for (int index : inOrder(rows, m_entries.rowCount())) {
        const CacheRow& row = m_entries.row(index);
        if (row.FilePath.isEmpty())
            continue;
        if (row.KeyLength < 0) {
            sources.append(CopySource::WholeFile(row.FilePath));
            continue;
        }
        // A cache entry gives its document, not the entry file around it.
        const auto body = row.SizePending || row.BodyOffset < 0
                              ? ReadCacheEntryBody(row.FilePath, row.KeyLength)
                              : std::optional<CacheEntryBody>(CacheEntryBody{row.BodyOffset, row.Size});
        if (body)
            sources.append({row.FilePath, body->Offset, body->Size, documentName(row)});
        else
            sources.append(CopySource::WholeFile(row.FilePath));
    }
    return sources;
}

void CacheViewer::ClearBrowserCache()
{
    ShowMyCache();
    DeleteAllRows();
    ShowAllUsersCaches();
    DeleteAllRows();
    m_sizeTimer.stop();
    // The running browser keeps an index of its own; it is told only when the
    // rules left nothing behind, since it would drop every entry.
    const auto left = m_cache.Entries().Entries;
    if (std::none_of(left.begin(), left.end(), [](const CacheEntryHead& e) { return isProtectedUrl(e.Url); }))
        m_cache.ClearAll();
}

void CacheViewer::setCountLine(const QString& text)
{
    m_countLine = text;
    emit countLineChanged(text);
}
