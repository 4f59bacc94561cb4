#include "foption.h"

#include "controlnames.h"
#include "downloadmethoddisplay.h"
#include "sentenceblank.h"

#include "core/appsettings.h"
#include "ui/platform/isformloaded.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;


fOption::fOption(ProgramValues& values, AppSettings& settings, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_controller(values, settings, prompts)
{
    setObjectName(u"fOption"_s);
    setWindowTitle(u"设置"_s);
    buildControls();
    connect(&m_controller, &OptionsController::downloadMethodChosen, this, [](int method) {
        ShowDownloadMethod(FindLoadedForm(AppSettings::kDownloadWindow), method);
    });
    connect(&m_controller, &OptionsController::boxRefused, this, [this](int box) {
        (box == 2 ? Text2 : box == 3 ? Text3 : Text1)->setFocus();
    });
    connect(Command1, &QPushButton::clicked, this, &fOption::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &fOption::Command2_Click);
    Form_Load();
}

void fOption::buildControls()
{
    Label1 = NamedControl<QLabel>(u"Label1"_s, u"下载方式："_s);
    Option1 = NamedControl<QRadioButton>(u"Option1"_s, u"下载方式一 (支持HTTP，单线程，代理服务器下载)"_s);
    Option2 = NamedControl<QRadioButton>(u"Option2"_s, u"下载方式二 (支持HTTP，多线程下载)"_s);
    Option3 = NamedControl<QRadioButton>(u"Option3"_s, u"下载方式三 (浏览器下载，适用于需要网页验证的网站)"_s);
    Check3 = NamedControl<QCheckBox>(u"Check3"_s, u"下载方式一、二遇到网页验证时，自动用浏览器重试一次"_s);
    Option1->setChecked(true);
    Check1 = NamedControl<QCheckBox>(u"Check1"_s, u"下载使用代理服务器"_s);
    Label14 = NamedControl<QLabel>(u"Label14"_s, u"地址："_s);
    Text6 = NamedControl<QLineEdit>(u"Text6"_s);
    Label6 = NamedControl<QLabel>(u"Label6"_s, u"(如：proxy.example.com 或者 192.168.0.1)"_s);
    MakeGrey(Label6);
    Label15 = NamedControl<QLabel>(u"Label15"_s, u"端口："_s);
    Text8 = NamedControl<QLineEdit>(u"Text8"_s);
    Text8->setMaximumWidth(80);
    Label10 = NamedControl<QLabel>(u"Label10"_s, u"(如：3128 或者 80 等等)"_s);
    MakeGrey(Label10);
    Check2 = NamedControl<QCheckBox>(u"Check2"_s, u"提取网页信息时，提示下载保存路径"_s);
    Check4 = NamedControl<QCheckBox>(u"Check4"_s, u"每篇下载完成的文献旁保存一个引用文件 (.ris)"_s);
    const QString before = u"下载文件大小不超过："_s;
    const QString blank = u"       "_s;
    Label2 = NamedControl<QLabel>(u"Label2"_s, before + blank + u"MB"_s);
    Text1 = NamedControl<QLineEdit>(u"Text1"_s, u"10"_s);
    Text1->setAlignment(Qt::AlignCenter);
    PlaceInBlank(Label2, Text1, before, blank);
    // The pace of the starts to one host, so that no site takes the program for a robot.
    Label3 = NamedControl<QLabel>(u"Label3"_s, u"同一网站两次开始的间隔(秒)："_s);
    Text2 = NamedControl<QLineEdit>(u"Text2"_s, u"1"_s);
    Label4 = NamedControl<QLabel>(u"Label4"_s, u"每小时最多下载篇数(0为不限)："_s);
    Text3 = NamedControl<QLineEdit>(u"Text3"_s, u"0"_s);
    for (QLineEdit* box : {Text2, Text3}) {
        box->setAlignment(Qt::AlignCenter);
        box->setMaximumWidth(80);
    }
    Command1 = NamedControl<QPushButton>(u"Command1"_s, u"确定"_s);
    Command2 = NamedControl<QPushButton>(u"Command2"_s, u"关闭"_s);
    Command1->setDefault(true);

    auto* methods = new QVBoxLayout;
    methods->setContentsMargins(16, 0, 0, 0);
    methods->addWidget(Option1);
    methods->addWidget(Option2);
    methods->addWidget(Option3);
    methods->addWidget(Check3);

    auto* proxy = new QGridLayout;
    proxy->setContentsMargins(16, 0, 0, 0);
    proxy->addWidget(Label14, 0, 0);
    proxy->addWidget(Text6, 0, 1, 1, 2);
    proxy->addWidget(Label6, 1, 1, 1, 2);
    proxy->addWidget(Label15, 2, 0);
    proxy->addWidget(Text8, 2, 1);
    proxy->addWidget(Label10, 2, 2);
    proxy->setColumnStretch(2, 1);

    QHBoxLayout* buttons = ButtonRow({Command1, Command2});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(methods);
    layout->addSpacing(6);
    layout->addWidget(Check1);
    layout->addLayout(proxy);
    layout->addSpacing(6);
    layout->addWidget(Check2);
    layout->addWidget(Check4);
    layout->addSpacing(6);
    layout->addWidget(Label2);
    auto* pace = new QGridLayout;
    pace->addWidget(Label3, 0, 0);
    pace->addWidget(Text2, 0, 1);
    pace->addWidget(Label4, 1, 0);
    pace->addWidget(Text3, 1, 1);
    pace->setColumnStretch(2, 1);
    layout->addLayout(pace);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void fOption::Form_Load()
{
    const OptionsForm form = m_controller.Load(IsFormLoaded(AppSettings::kDownloadWindow));
    Check1->setChecked(form.UseProxy);
    Text6->setText(form.ProxyAddress);
    Text8->setText(form.ProxyPort);
    (form.Method == 3 ? Option3 : form.Method == 2 ? Option2 : Option1)->setChecked(true);
    Check3->setChecked(form.BrowserFallback);
    Check2->setChecked(form.PromptSaveFolder);
    Check4->setChecked(form.CitationBesideFile);
    Text1->setText(form.SizeText);
    Text2->setText(form.PaceText);
    Text3->setText(form.HourlyCapText);
}

void fOption::Command1_Click()
{
    OptionsForm form;
    form.Method = Option3->isChecked() ? 3 : Option2->isChecked() ? 2 : 1;
    form.BrowserFallback = Check3->isChecked();
    form.UseProxy = Check1->isChecked();
    form.ProxyAddress = Text6->text();
    form.ProxyPort = Text8->text();
    form.PromptSaveFolder = Check2->isChecked();
    form.CitationBesideFile = Check4->isChecked();
    form.SizeText = Text1->text();
    form.PaceText = Text2->text();
    form.HourlyCapText = Text3->text();
    if (m_controller.Confirm(form))
        accept();
}

void fOption::Command2_Click()
{
    reject();
}
