#include "liststripes.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTableView>

int StripeRowHeight(int textHeight, bool checkBoxes, int rowHeightPixels)
{
    if (rowHeightPixels > 0)
        return rowHeightPixels;
    return textHeight + 1 + (checkBoxes ? 4 : 0);
}

void ApplyListStripes(QAbstractItemView* list, bool checkBoxes, int rowHeightPixels)
{
    if (list == nullptr)
        return;
    // Qt paints even rows (the first is row 0) with Base and odd rows with
    // AlternateBase.
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, QColor(231, 248, 237));
    palette.setColor(QPalette::AlternateBase, Qt::white);
    list->setPalette(palette);
    list->setAlternatingRowColors(true);

    if (auto* table = qobject_cast<QTableView*>(list)) {
        const int height
            = StripeRowHeight(list->fontMetrics().boundingRect(QStringLiteral("b")).height(), checkBoxes, rowHeightPixels);
        table->verticalHeader()->setMinimumSectionSize(1);
        table->verticalHeader()->setDefaultSectionSize(height);
    }
}
