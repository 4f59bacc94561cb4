#include "cacheentrytablemodel.h"

#include <algorithm>
#include <numeric>

using namespace Qt::Literals::StringLiterals;

CacheEntryTableModel::CacheEntryTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void CacheEntryTableModel::setRows(QList<CacheRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CacheEntryTableModel::setSize(int index, qint64 size, qint64 bodyOffset)
{
    CacheRow& row = m_rows[index];
    row.Size = size;
    row.BodyOffset = bodyOffset;
    row.SizePending = false;
}

void CacheEntryTableModel::announceSizes(int first, int last)
{
    if (first <= last)
        emit dataChanged(index(first, SizeColumn), index(last, SizeColumn), {Qt::DisplayRole});
}

void CacheEntryTableModel::sortRows(int column, bool descending)
{
    const auto text = [column](const CacheRow& row) -> const QString& {
        switch (column) {
        case TypeColumn: return row.Type;
        case FilePathColumn: return row.FilePath;
        default: return row.Text;
        }
    };
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const CacheRow& left = descending ? m_rows[b] : m_rows[a];
        const CacheRow& right = descending ? m_rows[a] : m_rows[b];
        if (column == SizeColumn)
            return left.Size < right.Size;
        return text(left).compare(text(right), Qt::CaseInsensitive) < 0;
    });
    QList<CacheRow> sorted;
    sorted.reserve(m_rows.size());
    QList<int> newPlace(m_rows.size());
    for (int i = 0; i < order.size(); ++i) {
        sorted.append(std::move(m_rows[order[i]]));
        newPlace[order[i]] = i;
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(index(newPlace[old.row()], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CacheEntryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CacheEntryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CacheEntryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole && index.column() == SizeColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter); // sizes line up by their digits
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const CacheRow& row = m_rows.at(index.row());
    switch (index.column()) {
    case UrlColumn: return row.Text;
    case TypeColumn: return row.Type;
    case SizeColumn: return row.Size < 0 ? QString() : QString::number(row.Size);
    case FilePathColumn: return row.FilePath;
    default: return {};
    }
}

QVariant CacheEntryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case UrlColumn: return u"URL"_s;
    case TypeColumn: return u"TYPE"_s;
    case SizeColumn: return u"SIZE(Byte)"_s;
    case FilePathColumn: return u"FilePath"_s;
    default: return {};
    }
}

Qt::ItemFlags CacheEntryTableModel::flags(const QModelIndex& index) const
{
    // Never editable: an edit of the address in place is refused.
    return index.isValid() ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags;
}
