#include "coverpicture.h"

#include "core/programnames.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

QPixmap CoverPicture(const QSize& size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wash(0, 0, size.width(), size.height());
    wash.setColorAt(0, QColor(231, 248, 237));
    wash.setColorAt(1, QColor(190, 226, 204));
    p.fillRect(pixmap.rect(), wash);

    // A paper with a folded corner.
    const qreal h = size.height() * 0.62;
    const qreal w = h * 0.75;
    const QPointF at(size.width() * 0.08, (size.height() - h) / 2);
    const qreal fold = w * 0.25;
    QPainterPath paper;
    paper.moveTo(at);
    paper.lineTo(at.x() + w - fold, at.y());
    paper.lineTo(at.x() + w, at.y() + fold);
    paper.lineTo(at.x() + w, at.y() + h);
    paper.lineTo(at.x(), at.y() + h);
    paper.closeSubpath();
    p.setPen(QPen(QColor(60, 110, 80), 2));
    p.setBrush(Qt::white);
    p.drawPath(paper);
    p.setBrush(QColor(215, 235, 222));
    p.drawPolygon(QPolygonF{QPointF(at.x() + w - fold, at.y()), QPointF(at.x() + w - fold, at.y() + fold),
                            QPointF(at.x() + w, at.y() + fold)});
    p.setPen(QPen(QColor(160, 190, 170), 2));
    for (int line = 0; line < 4; ++line) {
        const qreal y = at.y() + h * (0.3 + 0.1 * line);
        p.drawLine(QPointF(at.x() + w * 0.15, y), QPointF(at.x() + w * (line == 3 ? 0.55 : 0.85), y));
    }
    // The arrow into the paper's lower part.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 210));
    const qreal cx = at.x() + w / 2;
    const qreal top = at.y() + h * 0.66;
    const qreal aw = w * 0.18;
    QPainterPath arrow;
    arrow.moveTo(cx - aw / 2, top);
    arrow.lineTo(cx + aw / 2, top);
    arrow.lineTo(cx + aw / 2, top + h * 0.12);
    arrow.lineTo(cx + aw * 1.2, top + h * 0.12);
    arrow.lineTo(cx, top + h * 0.27);
    arrow.lineTo(cx - aw * 1.2, top + h * 0.12);
    arrow.lineTo(cx - aw / 2, top + h * 0.12);
    arrow.closeSubpath();
    p.drawPath(arrow);

    // The name and what it does.
    QFont title = p.font();
    title.setPixelSize(static_cast<int>(size.height() * 0.16));
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(30, 80, 50));
    const QRectF text(at.x() + w + size.width() * 0.06, size.height() * 0.28, size.width(), size.height() * 0.22);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, programnames::kApplication);
    QFont line = p.font();
    line.setPixelSize(static_cast<int>(size.height() * 0.075));
    line.setBold(false);
    p.setFont(line);
    p.setPen(QColor(50, 100, 70));
    p.drawText(text.translated(0, size.height() * 0.2), Qt::AlignLeft | Qt::AlignVCenter, u"ACS 文献检索与批量下载"_s);
    return pixmap;
}
