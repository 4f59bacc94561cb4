#include "downloadmethoddisplay.h"

#include <QComboBox>
#include <QLabel>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

void ShowDownloadMethod(QWidget* downloadWindow, int method)
{
    if (downloadWindow == nullptr)
        return;
    if (auto* label = downloadWindow->findChild<QLabel*>(u"Label7"_s))
        label->setText(u"下载方式："_s + QString::number(method));
    auto* threads = downloadWindow->findChild<QComboBox*>(u"Combo1"_s);
    if (threads == nullptr)
        return;
    if (method == 1) {
        threads->setEnabled(false);
        return;
    }
    threads->setEnabled(true);
    const int one = threads->findText(u"1"_s);
    if (one >= 0)
        threads->setCurrentIndex(one);
    else
        threads->setCurrentText(u"1"_s);
}
