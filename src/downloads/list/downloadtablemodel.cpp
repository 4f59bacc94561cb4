#include "downloadtablemodel.h"

using namespace Qt::Literals::StringLiterals;

DownloadTableModel::DownloadTableModel(DownloadList& list, QObject* parent)
    : QAbstractTableModel(parent)
    , m_list(list)
{
    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(kProgressRepaintMs);
    connect(&m_repaintTimer, &QTimer::timeout, this, &DownloadTableModel::flushProgress);
}

int DownloadTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.count();
}

int DownloadTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DownloadTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const DownloadTask& task = *m_list.TaskAt(index.row() + 1);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case Name: return task.Name;
        case Type: return task.Type;
        case Size: return task.Size;
        case Received: return task.Received;
        case Progress: return task.Progress;
        case Folder: return task.Folder;
        case ColumnB: return task.ColumnB;
        default: return {};
        }
    case Qt::DecorationRole:
        return index.column() == Name ? QVariant(static_cast<int>(task.State)) : QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == Size || index.column() == Received || index.column() == Progress)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case StateRole: return static_cast<int>(task.State);
    case SelectedRole: return task.Selected;
    case UrlRole: return task.Url;
    case FractionRole: return TaskFractionDone(task);
    case SizeBytesRole: return task.SizeBytes;
    case ReceivedBytesRole: return task.ReceivedBytes;
    case OutcomeRole: return static_cast<int>(task.Outcome);
    default: return {};
    }
}

QString DownloadTableModel::headerText(int column)
{
    switch (column) {
    case Name: return u"名称"_s;
    case Type: return u"类型"_s;
    case Size: return u"文件大小"_s;
    case Received: return u"已下载数"_s;
    case Progress: return u"百分比"_s;
    case Folder: return u"保存路径"_s;
    case ColumnB: return u"B"_s;
    default: return {};
    }
}

QVariant DownloadTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return headerText(section);
    if (role == Qt::TextAlignmentRole && (section == Size || section == Received || section == Progress))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags DownloadTableModel::flags(const QModelIndex& index) const
{
    // Names are never edited in place.
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool DownloadTableModel::AddTask(const QString& url, const QString& name, const QString& type,
                                 const QString& folder, const QString& referer)
{
    if (m_list.positionOfUrl(url) != 0)
        return false;
    const int row = m_list.count();
    beginInsertRows({}, row, row);
    m_list.AddTask(url, name, type, folder, referer);
    endInsertRows();
    return true;
}

void DownloadTableModel::changeAll(const std::function<void(DownloadList&)>& change)
{
    beginResetModel();
    change(m_list);
    // Rows may have moved or gone: the reset repaints everything anyway.
    m_progressed.clear();
    m_repaintTimer.stop();
    endResetModel();
}

void DownloadTableModel::tasksChanged(int firstPosition, int lastPosition)
{
    firstPosition = std::max(firstPosition, 1);
    lastPosition = std::min(lastPosition, m_list.count());
    if (firstPosition > lastPosition)
        return;
    m_progressed.erase(m_progressed.lower_bound(firstPosition), m_progressed.upper_bound(lastPosition));
    emit dataChanged(index(firstPosition - 1, 0), index(lastPosition - 1, ColumnCount - 1));
}

void DownloadTableModel::taskProgressed(int position)
{
    if (position < 1 || position > m_list.count())
        return;
    m_progressed.insert(position);
    if (!m_repaintTimer.isActive())
        m_repaintTimer.start();
}

void DownloadTableModel::flushProgress()
{
    // Neighbouring rows go out as one range.
    std::set<int> rows;
    rows.swap(m_progressed);
    auto it = rows.begin();
    while (it != rows.end()) {
        const int first = *it;
        int last = first;
        while (++it != rows.end() && *it == last + 1)
            last = *it;
        if (last <= m_list.count())
            emit dataChanged(index(first - 1, 0), index(last - 1, ColumnCount - 1));
    }
}
