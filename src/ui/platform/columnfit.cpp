#include "columnfit.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>

int CappedColumnWidth(int contentsWidth, int viewWidth)
{
    if (viewWidth <= 0)
        return contentsWidth;
    return std::min(contentsWidth, viewWidth / 2);
}

void FitColumnsToContents(QTableView* view)
{
    if (view == nullptr)
        return;
    view->resizeColumnsToContents();
    const int viewWidth = view->viewport()->width();
    for (int column = 0; column < view->horizontalHeader()->count(); ++column)
        view->setColumnWidth(column, CappedColumnWidth(view->columnWidth(column), viewWidth));
}
