#include "urlreplace.h"

#include "controlnames.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

UrlReplace::UrlReplace(DownloadTableModel& model, const DownloadActivity& activity, UserPrompts& prompts,
                       QWidget* parent)
    : QDialog(parent)
    , m_controller(model, activity, prompts)
{
    setObjectName(u"UrlReplace"_s);
    setWindowTitle(u"网址批量替换"_s);

    Label1 = NamedControl<QLabel>(u"Label1"_s, u"所有网址中的字符串："_s);
    Text1 = NamedControl<QLineEdit>(u"Text1"_s);
    Label2 = NamedControl<QLabel>(u"Label2"_s, u"将被全部替换为字符串："_s);
    Text2 = NamedControl<QLineEdit>(u"Text2"_s);
    Command1 = NamedControl<QPushButton>(u"Command1"_s, u"替换"_s);
    Command2 = NamedControl<QPushButton>(u"Command2"_s, u"取消"_s);
    Command1->setDefault(true);
    Text1->setMinimumWidth(320);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1);
    QHBoxLayout* buttons = ButtonRow({Command1, Command2});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &UrlReplace::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &UrlReplace::Command2_Click);
}

void UrlReplace::Command1_Click()
{
    const std::optional<int> leftUnchanged = m_controller.ReplaceAll(Text1->text(), Text2->text());
    if (!leftUnchanged)
        return;
    accept();
    m_controller.ReportDone(*leftUnchanged);
}

void UrlReplace::Command2_Click()
{
    reject();
}
