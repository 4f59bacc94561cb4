#include "formcopymove.h"

#include "controlnames.h"

#include "ui/platform/combodropwidth.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

Form_Copy_Move::Form_Copy_Move(AppSettings& settings, UserPrompts& prompts, const QString& historyFile,
                               QWidget* parent)
    : QDialog(parent)
    , m_controller(settings, prompts, historyFile)
{
    setObjectName(u"Form_Copy_Move"_s);
    setWindowTitle(u"复制或者移动文件"_s);
    buildControls();
    connect(Command1, &QPushButton::clicked, this, &Form_Copy_Move::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form_Copy_Move::reject);
    connect(Command3, &QPushButton::clicked, this, &Form_Copy_Move::Command3_Click);
    for (int i = 0; i < 5; ++i)
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { m_controller.ChoosePolicy(i + 1); });
    CopyRun& run = m_controller.run();
    connect(&run, &CopyRun::progressChanged, this, [this](int value, int maximum) {
        ProgressBar1->setMaximum(maximum);
        ProgressBar1->setValue(value);
    });
    connect(&run, &CopyRun::currentFileChanged, Label3, &QLabel::setText);
    connect(&m_controller, &CopyFilesController::runningChanged, this,
            [this](bool running) { Command1->setText(running ? u"停止"_s : u"开始"_s); });
    connect(&m_controller, &CopyFilesController::historyChanged, this, [this](const QStringList& history) {
        const QString text = Combo1->currentText();
        Combo1->clear();
        Combo1->addItems(history);
        Combo1->setEditText(text);
    });
    Form_Load();
}

void Form_Copy_Move::buildControls()
{
    Label1 = NamedControl<QLabel>(u"Label1"_s, u"目的文件夹："_s);
    Combo1 = NamedControl<QComboBox>(u"Combo1"_s);
    Combo1->setEditable(true);
    // The list is the history file's; Enter must not add to it behind the user's back.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMinimumWidth(340);
    Combo1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Command3 = NamedControl<QPushButton>(u"Command3"_s, u"浏览"_s);
    Command3->setAutoDefault(false);

    Frame1 = NamedControl<QGroupBox>(u"Frame1"_s, u"如果同名文件已经存在"_s);
    const QStringList captions = {u"跳过"_s, u"覆盖"_s, u"自动重命名"_s,
                                  u"文件大小和修改时间均相同：覆盖；否则：自动重命名"_s,
                                  u"文件大小相同：覆盖；否则：自动重命名"_s};
    auto* options = new QVBoxLayout(Frame1);
    for (int i = 0; i < 5; ++i) {
        Option1[i] = NamedControl<QRadioButton>(u"Option1(%1)"_s.arg(i + 1), captions[i]);
        options->addWidget(Option1[i]);
    }
    Option1[3]->setChecked(true);

    Label2 = NamedControl<QLabel>(u"Label2"_s, u"进度;"_s);
    ProgressBar1 = NamedControl<QProgressBar>(u"ProgressBar1"_s);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label4 = NamedControl<QLabel>(u"Label4"_s, u"当前文件："_s);
    Label3 = NamedControl<QLabel>(u"Label3"_s);
    Label3->setMinimumWidth(300);
    Command1 = NamedControl<QPushButton>(u"Command1"_s, u"开始"_s);
    Command1->setDefault(true);
    Command2 = NamedControl<QPushButton>(u"Command2"_s, u"关闭"_s);
    Command2->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Combo1, 0, 1);
    grid->addWidget(Command3, 0, 2);
    grid->addWidget(Frame1, 1, 0, 1, 3);
    grid->addWidget(Label2, 2, 0);
    grid->addWidget(ProgressBar1, 2, 1, 1, 2);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(Label3, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    QHBoxLayout* buttons = ButtonRow({Command1, Command2});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

void Form_Copy_Move::Form_Load()
{
    setWindowTitle(u"复制文件..."_s);
    const CopyFilesForm form = m_controller.Load();
    Combo1->clear();
    Combo1->addItems(form.History);
    Combo1->setEditText(form.Destination);
    Option1[form.Policy - 1]->setChecked(true);
}

void Form_Copy_Move::setSourceFiles(QList<CopySource> sources)
{
    m_controller.SourceFiles = std::move(sources);
    setWindowTitle(u"复制文件："_s + QString::number(m_controller.SourceFiles.size()) + u" 个文件..."_s);
}

void Form_Copy_Move::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Measured once shown, when the box's place on the screen is known.
    SetComboDropWidth(Combo1);
}

void Form_Copy_Move::Command1_Click()
{
    Combo1->setEditText(m_controller.执行(Combo1->currentText(), true));
}

void Form_Copy_Move::Command3_Click()
{
    Combo1->setEditText(m_controller.PickDestination(Combo1->currentText()));
}

void Form_Copy_Move::done(int result)
{
    // The close box, "关闭" and Escape all end here: no run goes on behind a closed dialog.
    m_controller.stopBeforeClose();
    QDialog::done(result);
}
