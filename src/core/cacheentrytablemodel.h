#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

// One row of the cache viewer's entry list.
struct CacheRow {
    QString Text;     // the address, or "用户:" and the user's name in the all-users view
    QString Type;     // extension of the address (of the file in the all-users view)
    qint64 Size = -1; // -1 shows as an empty column
    QString FilePath; // the local file, or empty
    QString Url;      // empty in the all-users view
    // An entry of the current user's cache: its key length, so its body can be
    // found; -1 for a plain file, whose whole content is what it holds.
    qint64 KeyLength = -1;
    qint64 BodyOffset = -1; // where the body starts once it is known
    bool SizePending = false;
};

// The entry list as the view shows it. Sorting moves rows once with one
// stable sort; sizes compare as numbers.
class CacheEntryTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CacheEntryTableModel)

public:
    enum Column { UrlColumn, TypeColumn, SizeColumn, FilePathColumn, ColumnCount };

    explicit CacheEntryTableModel(QObject* parent = nullptr);

    void setRows(QList<CacheRow> rows);
    const QList<CacheRow>& rows() const { return m_rows; }
    const CacheRow& row(int index) const { return m_rows.at(index); }
    // A size found later; one change signal per call, for the rows first..last.
    void setSize(int index, qint64 size, qint64 bodyOffset);
    void announceSizes(int first, int last);
    void sortRows(int column, bool descending);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<CacheRow> m_rows;
};
