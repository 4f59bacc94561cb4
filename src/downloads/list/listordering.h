#pragma once

#include <QRandomGenerator>
#include <QString>

class DownloadActivity;
class DownloadTableModel;
class UserPrompts;

// Reorders the download list: the shuffle and the sort by a column header.
// Both refuse while transfers could be holding task positions.
class DownloadListOrdering final {
public:
    DownloadListOrdering(DownloadTableModel& model, const DownloadActivity& activity, UserPrompts& prompts,
                         quint32 seed = QRandomGenerator::global()->generate());

    // Moves every task once, in random order, to the end of the list (at most
    // 10,000; in a longer list the tasks never drawn keep their order at the top).
    void ShuffleTasks();

    // Sorts by the column (1..7), flipping the direction on every call; the
    // first sorts descending. Size, received and progress sort by number, and
    // every text shows exactly as before.
    void SortTasksByColumn(int column);

    int sortColumn() const { return m_sortColumn; }
    bool sortDescending() const { return m_descending; }

    // The sort text of a size or received value: a number zero-filled to
    // twelve digits, any other text unchanged. Progress drops its "%" first.
    static QString numericSortKey(const QString& value);

private:
    DownloadTableModel& m_model;
    const DownloadActivity& m_activity;
    UserPrompts& m_prompts;
    QRandomGenerator m_random;
    int m_sortColumn = 0;
    bool m_descending = false;
};
