#pragma once

#include <QStringList>

class QComboBox;

// The entry with the most characters; the first of several equally long ones.
QString LongestEntry(const QStringList& entries);

// Width of the drop-down list: the longest entry's width plus 7 pixels, plus
// the scroll bar when the list has 9 entries or more, but no wider than the
// room from the box's left edge to the screen's right edge.
int ComboDropWidth(int longestEntryWidth, int entryCount, int scrollBarWidth, int roomToScreenEdge);

// Widens the box's drop-down list to its longest entry; never narrower than the box.
void SetComboDropWidth(QComboBox* combo);

// The box keeps the width of its longest entry where its row has the room,
// and gives it up, down to the width that shows `least`, where the row has
// not: a row of controls then never widens its window past the screen.
void SetComboLeastWidth(QComboBox* combo, const QString& least);
