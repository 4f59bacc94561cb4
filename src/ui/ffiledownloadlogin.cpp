// The download window's login panel: the controls over the list, bound to the
// login sequence (LoginController), which does the work.

#include "controlnames.h"
#include "ffiledownload.h"

#include "ui/browser/browserpage.h"
#include "ui/browser/webloginbrowser.h"
#include "ui/platform/combodropwidth.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QWebEngineView>

using namespace Qt::Literals::StringLiterals;

namespace {

const QUrl kBlankPage(u"about:blank"_s);

} // namespace

void fFileDownload::buildLoginPanel(QWidget* central)
{
    // Not in the window's layout: it lies over the list, in the list's place.
    PicWebBK = NamedControl<QWidget>(u"PicWebBK"_s, central);
    PicWebBK->setAutoFillBackground(true);
    PicWebBK->hide();
    ListView3->installEventFilter(this);

    Label6 = NamedControl<QLabel>(u"Label6"_s, u"网址："_s);
    Text1 = NamedControl<QLineEdit>(u"Text1"_s);
    Command2 = NamedControl<QPushButton>(u"Command2"_s, u"浏览"_s);
    Check1 = NamedControl<QCheckBox>(u"Check1"_s, u"自动刷新(每分钟)"_s);
    Command3 = NamedControl<QPushButton>(u"Command3"_s, u"关闭(隐藏)"_s);
    Option4 = NamedControl<QRadioButton>(u"Option4"_s, u"帐号登录："_s);
    Option4->setChecked(true);
    Text2 = NamedControl<QLineEdit>(u"Text2"_s);
    Label10 = NamedControl<QLabel>(u"Label10"_s, u"密码："_s);
    Text3 = NamedControl<QLineEdit>(u"Text3"_s);
    // Shown as dots, and never offered to the clipboard or an input method's memory.
    Text3->setEchoMode(QLineEdit::Password);
    Option5 = NamedControl<QRadioButton>(u"Option5"_s, u"IP登录"_s);
    Label11 = NamedControl<QLabel>(u"Label11"_s, u"自动登录条件："_s);
    Combo3 = NamedControl<QComboBox>(u"Combo3"_s);
    Combo3->addItem(u"下载到网页文件(htm/html/asp)文件!"_s);
    // The panel takes no more room than the list has: its entry may be cut short.
    SetComboLeastWidth(Combo3, u"下载到网页文件"_s);
    Combo3->setToolTip(Combo3->itemText(0));
    Command5 = NamedControl<QPushButton>(u"Command5"_s, u"测试登录"_s);
    Check2 = NamedControl<QCheckBox>(u"Check2"_s, u"自动登录"_s);

    Web1 = NamedControl<QWebEngineView>(u"Web1"_s);
    // The window's, not Web1's: Web1 shows a browser transfer's page for a
    // while when its check needs the user, and a view deletes its own page
    // when given another.
    m_loginPage = new BrowserPage(m_services.Browser, this);
    Web1->setPage(m_loginPage);
    m_loginBrowser = std::make_unique<WebLoginBrowser>(*m_loginPage);
    m_login = std::make_unique<LoginController>(*m_loginBrowser, m_services.Prompts, m_services.LoginTimes);

    auto* rows = new QVBoxLayout(PicWebBK);
    rows->setContentsMargins(4, 4, 4, 4);
    rows->setSpacing(3);
    auto* first = new QHBoxLayout;
    first->addWidget(Label6);
    first->addWidget(Text1, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{Command2, Check1, Command3})
        first->addWidget(w);
    auto* second = new QHBoxLayout;
    second->addWidget(Option4);
    second->addWidget(Text2, 1);
    second->addWidget(Label10);
    second->addWidget(Text3, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{Option5, Label11, Combo3, Command5, Check2})
        second->addWidget(w);
    rows->addLayout(first);
    rows->addLayout(second);
    rows->addWidget(Web1, 1);
}

void fFileDownload::bindLoginPanel()
{
    LoginController& login = *m_login;
    connect(Text1, &QLineEdit::textChanged, this, [&login](const QString& text) { login.setAddress(text); });
    connect(Text2, &QLineEdit::textChanged, this, [&login](const QString& text) { login.setAccount(text); });
    connect(Text3, &QLineEdit::textChanged, this, [&login](const QString& text) { login.setPassword(text); });
    connect(Option5, &QRadioButton::toggled, this,
            [&login](bool ip) { login.setMode(ip ? LoginMode::Ip : LoginMode::Account); });
    connect(Command2, &QPushButton::clicked, &login, &LoginController::LoadLoginPage);
    connect(Command5, &QPushButton::clicked, this, [&login] { login.LoginToSite(false); });
    connect(Check1, &QCheckBox::toggled, &login, &LoginController::setAutoRefresh);
    connect(Check2, &QCheckBox::toggled, this, &fFileDownload::Check2_Click);
    connect(Command1, &QPushButton::clicked, this, &fFileDownload::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &fFileDownload::Command3_Click);
    connect(&login, &LoginController::loginRunningChanged, Command5,
            [this](bool running) { Command5->setEnabled(!running); });
    connect(&login, &LoginController::pageLoadingChanged, Command2,
            [this](bool loading) { Command2->setEnabled(!loading); });
    connect(&login, &LoginController::autoLoginRefused, Check2, [this] { Check2->setChecked(false); });
    connect(m_loginPage, &QWebEnginePage::titleChanged, this, &fFileDownload::Web1_TitleChange);
    m_engine.scheduler().setAutoLogin(&login);
}

void fFileDownload::Check2_Click(bool ticked)
{
    if (ticked && !m_login->AcceptAutoLogin()) {
        Check2->setChecked(false);
        return;
    }
    m_engine.scheduler().switches().AutoLogin = ticked;
}

void fFileDownload::Command1_Click()
{
    PicWebBK->setGeometry(ListView3->geometry());
    PicWebBK->show();
    PicWebBK->raise();
    if (Check1->isChecked() || Check2->isChecked())
        return;
    // What the site answers for the selected task, for the user to see.
    const QModelIndexList rows = ListView3->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const DownloadTask* task = m_engine.list().TaskAt(rows.first().row() + 1);
    if (task != nullptr && !task->Url.trimmed().isEmpty())
        m_loginPage->load(QUrl::fromUserInput(task->Url.trimmed()));
}

void fFileDownload::Command3_Click()
{
    PicWebBK->hide();
    // With automatic refresh the page stays, to keep the sign-in alive.
    if (!Check1->isChecked())
        m_loginPage->load(kBlankPage);
}

void fFileDownload::Web1_TitleChange(const QString& title)
{
    if (title.trimmed().toLower() != u"about:blank"_s)
        StatusPanels[2]->setText(title);
}
