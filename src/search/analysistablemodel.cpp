#include "analysistablemodel.h"

using namespace Qt::Literals::StringLiterals;

AnalysisTableModel::AnalysisTableModel(AnalysisList& list, QObject* parent)
    : QAbstractTableModel(parent)
    , m_list(list)
{
}

int AnalysisTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_announcedRows >= 0 ? m_announcedRows : m_list.count();
}

int AnalysisTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AnalysisTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AnalysisRecord& record = *m_list.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case Title: return record.Title;
        case FileType: return record.FileType;
        case AnalysisState: return record.AnalysisState;
        case SavePath: return record.SavePath;
        case Source: return record.Source;
        default: return {};
        }
    case ArticleUrlRole: return record.ArticleUrl;
    case PageUrlRole: return record.PageUrl;
    case SelectedRole: return record.Selected;
    default: return {};
    }
}

QVariant AnalysisTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QString headers[ColumnCount] = {u"标题"_s, u"类型"_s, u"分析状态"_s, u"保存路径"_s, u"TYPE"_s};
    return headers[section];
}

Qt::ItemFlags AnalysisTableModel::flags(const QModelIndex& index) const
{
    // Titles are never edited in place.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int AnalysisTableModel::appendWith(const std::function<int(AnalysisList&)>& append)
{
    // Extraction only appends, so the new rows are announced after the fact:
    // until then views keep seeing the old row count.
    const int before = m_list.count();
    m_announcedRows = before;
    const int result = append(m_list);
    const int after = m_list.count();
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        m_announcedRows = -1;
        endInsertRows();
    }
    m_announcedRows = -1;
    return result;
}

void AnalysisTableModel::changeAll(const std::function<void(AnalysisList&)>& change)
{
    beginResetModel();
    change(m_list);
    endResetModel();
}

void AnalysisTableModel::rowsChanged(int firstRow, int lastRow)
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, m_list.count() - 1);
    if (firstRow > lastRow)
        return;
    emit dataChanged(index(firstRow, 0), index(lastRow, ColumnCount - 1));
}
