#include "sentenceblank.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

void PlaceInBlank(QLabel* sentence, QWidget* control, const QString& before, const QString& blank)
{
    const QFontMetrics metrics(sentence->font());
    const int left = metrics.horizontalAdvance(before);
    const int width = metrics.horizontalAdvance(blank);
    control->setParent(sentence);
    control->setFixedWidth(width);
    sentence->setMinimumHeight(control->sizeHint().height());
    sentence->setMinimumWidth(metrics.horizontalAdvance(sentence->text()) + 4);
    control->move(left, (sentence->minimumHeight() - control->sizeHint().height()) / 2);
}

BlankSentenceLabel::BlankSentenceLabel(const QString& before, const QString& blank, const QString& after,
                                       QWidget* control)
    : QLabel(before + blank + after)
    , m_before(before)
    , m_after(after)
    , m_control(control)
{
    m_control->setParent(this);
}

QSize BlankSentenceLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    const QSize box = m_control->sizeHint();
    return {metrics.horizontalAdvance(m_before) + box.width() + 4 + metrics.horizontalAdvance(m_after),
            std::max(box.height(), metrics.height())};
}

void BlankSentenceLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    const QSize box = m_control->sizeHint();
    m_control->setGeometry(QFontMetrics(font()).horizontalAdvance(m_before) + 2, (height() - box.height()) / 2,
                           box.width(), box.height());
}

void BlankSentenceLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    const int afterLeft = m_control->geometry().right() + 3;
    painter.drawText(QRect(0, 0, afterLeft, height()), Qt::AlignLeft | Qt::AlignVCenter, m_before);
    painter.drawText(QRect(afterLeft, 0, width() - afterLeft, height()), Qt::AlignLeft | Qt::AlignVCenter, m_after);
}
