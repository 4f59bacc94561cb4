#pragma once

#include <QStyledItemDelegate>

// Paints the "百分比" column: a bar for the part received, under the text
// exactly as the model gives it ("37%", "100%", "大文件，跳过"). It reads
// only the model's data: the fraction done from its raw role, the text from
// the display role.
class ProgressDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressDelegate)

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
