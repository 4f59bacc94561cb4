#include "progressdelegate.h"

#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/downloadtask.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionProgressBar>

void ProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const double fraction = index.data(DownloadTableModel::FractionRole).toDouble();
    const int state = index.data(DownloadTableModel::StateRole).toInt();
    const int outcome = index.data(DownloadTableModel::OutcomeRole).toInt();
    // A bar for a body on its way or one that arrived whole; outcome texts
    // ("大文件，跳过", "已存在，跳过") stand alone.
    const bool showBar = fraction >= 0
        && (state == static_cast<int>(TaskState::Downloading) || outcome == static_cast<int>(TaskOutcome::Completed)
            || outcome == static_cast<int>(TaskOutcome::Failed));
    if (!showBar) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(2, 2, -2, -2);
    bar.minimum = 0;
    bar.maximum = 1000;
    bar.progress = static_cast<int>(fraction * 1000.0);
    bar.text = index.data(Qt::DisplayRole).toString();
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    bar.state = option.state | QStyle::State_Horizontal;
    bar.palette = option.palette;
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
}
