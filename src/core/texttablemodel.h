#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// Rows of plain texts under fixed column titles: the cache viewer's lists of
// user caches and of their subfolders.
class TextTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextTableModel)

public:
    explicit TextTableModel(QStringList headers, QObject* parent = nullptr);

    void setRows(QList<QStringList> rows);
    const QList<QStringList>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_headers;
    QList<QStringList> m_rows;
};
