#include "taskstateicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace {

constexpr int kSize = 16;

QPixmap canvas()
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap waiting()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 110, 110), 1.5));
    p.setBrush(QColor(236, 236, 236));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    return pixmap;
}

QPixmap downloading()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 210));
    QPainterPath arrow;
    arrow.moveTo(6, 1.5);
    arrow.lineTo(10, 1.5);
    arrow.lineTo(10, 7);
    arrow.lineTo(13.5, 7);
    arrow.lineTo(8, 13);
    arrow.lineTo(2.5, 7);
    arrow.lineTo(6, 7);
    arrow.closeSubpath();
    p.drawPath(arrow);
    p.fillRect(QRectF(2, 14, 12, 1.5), QColor(40, 110, 210));
    return pixmap;
}

QPixmap completed()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 150, 60), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QList<QPointF>{{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}});
    return pixmap;
}

QPixmap failed()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(205, 40, 40), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return pixmap;
}

} // namespace

QIcon TaskStateIcon(int state)
{
    // Drawn once: the list asks for a picture on every repaint of every row.
    static const std::array<QIcon, 4> icons{QIcon(waiting()), QIcon(downloading()), QIcon(completed()),
                                            QIcon(failed())};
    if (state < 1 || state > static_cast<int>(icons.size()))
        return {};
    return icons[static_cast<size_t>(state - 1)];
}
