#pragma once

#include "downloadlist.h"

#include <QAbstractTableModel>

#include <functional>

// The download list as the window's table: one row per task, seven columns,
// no second copy of the tasks. Every change to the list goes through here so
// that views hear of it: a bulk command as one reset, a running transfer as a
// change of its own row.
class DownloadTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadTableModel)

public:
    enum Column { Name, Type, Size, Received, Progress, Folder, ColumnB, ColumnCount };
    enum Role {
        StateRole = Qt::UserRole + 1, // TaskState as int (also the decoration value)
        SelectedRole,                 // bool
        UrlRole,
    };

    explicit DownloadTableModel(DownloadList& list, QObject* parent = nullptr);

    DownloadList& list() { return m_list; }
    const DownloadList& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Adds one task as one inserted row; false for a duplicate address.
    bool AddTask(const QString& url, const QString& name, const QString& type, const QString& folder,
                 const QString& referer);

    // Runs a change that may add, remove or reorder any tasks, as one reset.
    void changeAll(const std::function<void(DownloadList&)>& change);

    // Tells views that the rows at these 1-based positions changed in place.
    void tasksChanged(int firstPosition, int lastPosition);
    void taskChanged(int position) { tasksChanged(position, position); }

    static QString headerText(int column);

private:
    DownloadList& m_list;
};
