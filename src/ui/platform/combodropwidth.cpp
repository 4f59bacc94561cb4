#include "combodropwidth.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStyle>

#include <algorithm>

QString LongestEntry(const QStringList& entries)
{
    QString longest;
    for (const QString& entry : entries) {
        if (entry.size() > longest.size())
            longest = entry;
    }
    return longest;
}

int ComboDropWidth(int longestEntryWidth, int entryCount, int scrollBarWidth, int roomToScreenEdge)
{
    int width = longestEntryWidth + 7;
    if (entryCount >= 9)
        width += scrollBarWidth;
    return roomToScreenEdge > 0 ? std::min(width, roomToScreenEdge) : width;
}

void SetComboLeastWidth(QComboBox* combo, const QString& least)
{
    if (combo == nullptr)
        return;
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const QSize text(combo->fontMetrics().horizontalAdvance(least), combo->fontMetrics().height());
    combo->setMinimumWidth(combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, combo).width());
}

void SetComboDropWidth(QComboBox* combo)
{
    if (combo == nullptr)
        return;
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries.append(combo->itemText(i));

    QAbstractItemView* view = combo->view();
    const int textWidth = view->fontMetrics().horizontalAdvance(LongestEntry(entries));
    const int scrollBar = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo);
    int room = 0;
    if (const QScreen* screen = combo->screen())
        room = screen->availableGeometry().right() - combo->mapToGlobal(QPoint(0, 0)).x();
    const int width = ComboDropWidth(textWidth, combo->count(), scrollBar, room);
    view->setMinimumWidth(std::max(width, combo->width()));
}
