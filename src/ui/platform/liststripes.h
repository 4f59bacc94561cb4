#pragma once

class QAbstractItemView;

// Row height of a striped list: exactly rowHeightPixels when it is above 0,
// else the font's text height plus one pixel, plus four for check boxes.
int StripeRowHeight(int textHeight, bool checkBoxes, int rowHeightPixels);

// Alternating row backgrounds, light green RGB(231, 248, 237) on the first row
// and white on the next, through the view's palette so that the stripes
// always span the view's width. A table view also gets the row height.
void ApplyListStripes(QAbstractItemView* list, bool checkBoxes, int rowHeightPixels);
