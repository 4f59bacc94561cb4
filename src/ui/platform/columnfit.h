#pragma once

class QTableView;

// The width automatic sizing gives a column: its contents' width, but no more
// than half the view's, so that one very long title leaves the other columns
// in view. A view of no width yet caps nothing.
int CappedColumnWidth(int contentsWidth, int viewWidth);

// Sizes every column to its contents within that cap. A capped column's
// texts end in "…"; the lists' models give each cell's whole text as its
// tooltip.
void FitColumnsToContents(QTableView* view);
