#include "fselefilesavepath.h"

#include "controlnames.h"

#include "core/programnames.h"
#include "ui/platform/combodropwidth.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

fSeleFileSavePath::fSeleFileSavePath(ProgramValues& values, AppSettings& settings, UserPrompts& prompts,
                                     const QString& historyFile, QWidget* parent)
    : QDialog(parent)
    , m_controller(values, settings, prompts, historyFile)
{
    setObjectName(u"fSeleFileSavePath"_s);
    setWindowTitle(u"选择下载保存路径 - "_s + programnames::kApplication);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    buildControls();
    connect(Command1, &QPushButton::clicked, this, &fSeleFileSavePath::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &fSeleFileSavePath::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &fSeleFileSavePath::Command3_Click);
    Form_Load();
}

void fSeleFileSavePath::buildControls()
{
    Label1 = NamedControl<QLabel>(u"Label1"_s, u"保存到文件夹："_s);
    Combo1 = NamedControl<QComboBox>(u"Combo1"_s);
    Combo1->setEditable(true);
    // The list is the history file's; Enter must not add to it behind the user's back.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setEditText(u"C:\\"_s);
    Combo1->setMinimumWidth(320);
    Combo1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Command1 = NamedControl<QPushButton>(u"Command1"_s, u"..."_s);
    Command1->setAutoDefault(false);
    Command1->setFixedWidth(Command1->fontMetrics().horizontalAdvance(u"....."_s) + 12);
    Label3 = NamedControl<QLabel>(u"Label3"_s, u"保存文件名为："_s);
    Option1 = NamedControl<QRadioButton>(u"Option1"_s, u"原文件名"_s);
    Option2 = NamedControl<QRadioButton>(u"Option2"_s, u"文章标题名称"_s);
    Option2->setChecked(true);
    Option3 = NamedControl<QRadioButton>(u"Option3"_s, u"自定义："_s);
    Text1 = NamedControl<QLineEdit>(u"Text1"_s);
    Text1->setToolTip(u"可用字段：{title} {author} {authors} {year} {journal} {doi} {volume} {pages}"_s);
    Text1->setMinimumWidth(Text1->fontMetrics().horizontalAdvance(u"{year} {author} {title}"_s) + 24);
    // Typing a pattern means naming by it.
    connect(Text1, &QLineEdit::textEdited, Option3, [this] { Option3->setChecked(true); });
    Command2 = NamedControl<QPushButton>(u"Command2"_s, u"确定"_s);
    Command3 = NamedControl<QPushButton>(u"Command3"_s, u"取消"_s);
    Command2->setDefault(true);
    Command3->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Combo1, 0, 1);
    grid->addWidget(Command1, 0, 2);
    auto* naming = new QHBoxLayout;
    naming->addWidget(Option1);
    naming->addSpacing(12);
    naming->addWidget(Option2);
    naming->addSpacing(12);
    naming->addWidget(Option3);
    naming->addWidget(Text1, 1);
    grid->addWidget(Label3, 1, 0);
    grid->addLayout(naming, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    QHBoxLayout* buttons = ButtonRow({Command2, Command3});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

void fSeleFileSavePath::Form_Load()
{
    const SaveFolderForm form = m_controller.Load();
    if (form.NameByPattern)
        Option3->setChecked(true);
    else if (form.NameByOriginalFile)
        Option1->setChecked(true);
    Text1->setText(form.NamePattern);
    Combo1->clear();
    Combo1->addItems(form.History);
    Combo1->setEditText(form.Folder);
}

void fSeleFileSavePath::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Measured once shown, when the box's place on the screen is known.
    SetComboDropWidth(Combo1);
}

void fSeleFileSavePath::Command1_Click()
{
    Combo1->setEditText(m_controller.PickFolder(Combo1->currentText()));
}

void fSeleFileSavePath::Command2_Click()
{
    if (m_controller.Confirm(Combo1->currentText(), Option1->isChecked(), Option3->isChecked(),
                                    Text1->text()))
        accept();
}

void fSeleFileSavePath::Command3_Click()
{
    m_controller.Cancel();
    reject();
}
