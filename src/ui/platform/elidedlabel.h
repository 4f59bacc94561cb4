#pragma once

#include <QLabel>

// A one-line label that never asks for the room of its whole text: where the
// text does not fit, it shows as much as fits with "…" and the whole text in
// its tooltip. Its text is set and read as any label's; a status bar or a row
// of controls keeps its width whatever text arrives.
class ElidedLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ElidedLabel)

public:
    explicit ElidedLabel(const QString& text = {}, QWidget* parent = nullptr);

    void setElideMode(Qt::TextElideMode mode) { m_mode = mode; update(); }
    // What the label shows at its present width.
    QString shownText() const;
    bool elided() const { return shownText() != text(); }

    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textArea() const;

    Qt::TextElideMode m_mode = Qt::ElideRight;
};
