#pragma once

#include "downloadlist.h"

#include <QAbstractTableModel>
#include <QTimer>

#include <functional>
#include <set>

// The download list as the window's table: one row per task, seven columns,
// no second copy of the tasks. Every change to the list goes through here so
// that views hear of it: a bulk command as one reset, a running transfer as a
// change of its own row, its progress batched into a few repaints a second.
class DownloadTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadTableModel)

public:
    enum Column { Name, Type, Size, Received, Progress, Folder, ColumnB, ColumnCount };
    enum Role {
        StateRole = Qt::UserRole + 1, // TaskState as int (also the decoration value)
        SelectedRole,                 // bool
        UrlRole,
        FractionRole,                 // double 0..1 received over size; -1 when unknown
        SizeBytesRole,                // qint64; -1 when unknown
        ReceivedBytesRole,            // qint64; -1 when unknown
        OutcomeRole,                  // TaskOutcome as int
    };

    // The longest a running transfer's row waits for its repaint.
    static constexpr int kProgressRepaintMs = 100;

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
    // Tells views that a running transfer's row moved on. Rows are repainted
    // together at most every kProgressRepaintMs: six fast transfers would
    // otherwise repaint thousands of times a second. A change told through
    // taskChanged is never delayed.
    void taskProgressed(int position);

    static QString headerText(int column);

private:
    void flushProgress();

    DownloadList& m_list;
    std::set<int> m_progressed; // 1-based positions waiting for their repaint
    QTimer m_repaintTimer;
};
