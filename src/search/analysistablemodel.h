#pragma once

#include "analysislist.h"

#include <QAbstractTableModel>

#include <functional>

// The analysis list as the search window's table. Changes go through here so
// views hear of them: additions as inserted rows, bulk edits as one reset.
class AnalysisTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AnalysisTableModel)

public:
    enum Column { Title, FileType, AnalysisState, SavePath, Source, ColumnCount };
    enum Role { ArticleUrlRole = Qt::UserRole + 1, PageUrlRole, SelectedRole };

    explicit AnalysisTableModel(AnalysisList& list, QObject* parent = nullptr);

    AnalysisList& list() { return m_list; }
    const AnalysisList& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Runs an addition that appends rows only (an extraction) and announces the
    // new rows as one insertion.
    int appendWith(const std::function<int(AnalysisList&)>& append);
    void changeAll(const std::function<void(AnalysisList&)>& change);
    void rowsChanged(int firstRow, int lastRow);

private:
    AnalysisList& m_list;
    int m_announcedRows = -1; // while an append is not yet announced
};
