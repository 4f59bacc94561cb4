#include "frmabout.h"

#include "controlnames.h"

#include "core/programnames.h"
#include "core/systemprobes.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

QString frmAbout::aboutText()
{
    return u"文献检索与下载：在 ACS 出版物网站检索，按结果页批量下载论文。\n\n"
           "本程序以 MIT 许可证发布（见随附的 LICENSE 文件）。\n\n"
           "所用组件：\n"
           "  Qt 6（LGPL-3.0）\n"
           "  Qt WebEngine 及其中的 Chromium（LGPL-3.0；Chromium 为 BSD-3-Clause 等）\n"
           "  gumbo HTML 解析器（Apache-2.0）\n\n"
           "运行环境："_s
        + GetSystemVersionName();
}

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(u"frmAbout"_s);
    setWindowTitle(u"关于 "_s + programnames::kApplication);
    lblTitle = NamedControl<QLabel>(u"lblTitle"_s, programnames::kApplication);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = NamedControl<QLabel>(u"lblVersion"_s, u"版本:"_s + CurrentProgramVersion().text());
    lblDescription = NamedControl<QLabel>(u"lblDescription"_s, aboutText());
    lblDescription->setWordWrap(true);
    lblDescription->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdOK = NamedControl<QPushButton>(u"cmdOK"_s, u"确定"_s);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(lblVersion);
    layout->addWidget(lblDescription);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    setMinimumWidth(460);
}
