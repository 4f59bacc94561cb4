#include "elidedlabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace {

// Enough to tell that something stands there, and what it begins with.
constexpr int kLeastCharacters = 3;

} // namespace

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

// The preferred width stays the whole text's; the least is a few characters.
QSize ElidedLabel::minimumSizeHint() const
{
    const QSize whole = QLabel::minimumSizeHint();
    const int frame = 2 * (frameWidth() + std::max(margin(), 0));
    const int least = fontMetrics().averageCharWidth() * kLeastCharacters + frame;
    return {std::min(whole.width(), least), whole.height()};
}

QRect ElidedLabel::textArea() const
{
    const int m = std::max(margin(), 0);
    return contentsRect().adjusted(m, m, -m, -m);
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(text(), m_mode, textArea().width());
}

bool ElidedLabel::event(QEvent* event)
{
    // The whole text on demand, unless the label has a tooltip of its own.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (elided())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent* event)
{
    const QString shown = shownText();
    if (shown == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    style()->drawItemText(&painter, textArea(), static_cast<int>(align), palette(), isEnabled(), shown,
                          foregroundRole());
}
