#include "addresslistdialog.h"

#include "controlnames.h"

#include "core/userprompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

AddressListDialog::AddressListDialog(DownloadTableModel& model, const QString& folder, UserPrompts& prompts,
                                     QWidget* parent)
    : QDialog(parent)
    , m_controller(model, folder)
    , m_prompts(prompts)
{
    setObjectName(u"AddressListDialog"_s);
    setWindowTitle(u"粘贴网址"_s);

    Label1 = NamedControl<QLabel>(u"Label1"_s, u"每行一个网址，保存到：%1"_s.arg(folder));
    Label1->setTextFormat(Qt::PlainText);
    Text1 = NamedControl<QPlainTextEdit>(u"Text1"_s);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setMinimumSize(520, 180);
    Label2 = NamedControl<QLabel>(u"Label2"_s, u"未能加入的行："_s);
    Text2 = NamedControl<QPlainTextEdit>(u"Text2"_s);
    Text2->setReadOnly(true);
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text2->setMaximumHeight(90);
    Label3 = NamedControl<QLabel>(u"Label3"_s);
    Command1 = NamedControl<QPushButton>(u"Command1"_s, u"加入列表"_s);
    Command2 = NamedControl<QPushButton>(u"Command2"_s, u"关闭"_s);
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label3, 1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Text1, 1);
    layout->addWidget(Label2);
    layout->addWidget(Text2);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &AddressListDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void AddressListDialog::Command1_Click()
{
    const AddressListOutcome outcome = m_controller.AddAddresses(Text1->toPlainText());
    if (outcome.Rejected.isEmpty()) {
        accept();
        m_prompts.showMessage(outcome.summary(), MessageIcon::Information);
        return;
    }
    Text1->setPlainText(outcome.rejectedText());
    Text2->setPlainText(outcome.rejectedReport());
    Label3->setText(outcome.summary());
}
