#pragma once

#include <QLabel>
#include <QString>

// A control that fills a blank in a caption, as in "下载文件大小不超过：       MB":
// the label keeps its whole sentence and the control sits over the blank.
void PlaceInBlank(QLabel* sentence, QWidget* control, const QString& before, const QString& blank);

// A caption with a blank that a control wider than the blank fills, as a
// drop-down list in "两个文件下载间隔：        秒". The label's text stays the
// caption as written; the words after the blank are drawn past the control.
class BlankSentenceLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BlankSentenceLabel)

public:
    BlankSentenceLabel(const QString& before, const QString& blank, const QString& after, QWidget* control);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_before;
    QString m_after;
    QWidget* m_control;
};
