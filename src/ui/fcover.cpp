#include "fcover.h"

#include "controlnames.h"
#include "coverpicture.h"
#include "newversioncheck.h"

#include "core/programnames.h"
#include "core/shell.h"
#include "core/systemprobes.h"
#include "core/versioncheck.h"
#include "ui/platform/toolkittranslation.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

fCover::fCover(NewVersionCheck& versionCheck, Shell& desktop, Actions actions, QWidget* parent)
    : QWidget(parent)
    , m_versionCheck(versionCheck)
    , m_desktop(desktop)
    , m_actions(std::move(actions))
{
    setObjectName(u"fCover"_s);
    Image1 = NamedControl<QLabel>(u"Image1"_s);
    Image1->setPixmap(CoverPicture(QSize(520, 260)));
    Label1 = NamedControl<QLabel>(u"Label1"_s);
    Label2 = NamedControl<QLabel>(u"Label2"_s);
    Label2->setStyleSheet(u"color: #c01818; text-decoration: underline;"_s);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);
    Label2->hide();
    Command1 = NamedControl<QPushButton>(u"Command1"_s, u"资料检索下载"_s);
    Command3 = NamedControl<QPushButton>(u"Command3"_s, u"退出软件"_s);
    Command1->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1);
    buttons->addWidget(Label2);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(Image1);
    auto* lower = new QWidget;
    lower->setLayout(buttons);
    buttons->setContentsMargins(12, 4, 12, 0);
    layout->addWidget(lower);
    setFixedSize(sizeHint());

    connect(Command1, &QPushButton::clicked, this, &fCover::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &fCover::Command3_Click);
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &fCover::Timer1_Timer);
    connect(&m_versionCheck, &NewVersionCheck::newerVersion, this, [this](const QString& notice) {
        Label2->setText(notice);
        Label2->show();
        m_desktop.openAddress(m_versionCheck.programPage());
    });
    connect(&m_versionCheck, &NewVersionCheck::requestFailed, this, [this] {
        // Not modal: an unreachable server must not hold up the start.
        auto* box = new QMessageBox(QMessageBox::Critical, programnames::kApplication,
                                    QString::fromUtf16(kKeepNetworkUp), QMessageBox::Ok, this);
        box->setObjectName(u"NetworkNotice"_s);
        GiveButtonsOwnTexts(box);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    });
    Form_Load();
}

void fCover::Form_Load()
{
    setWindowTitle(programnames::kApplication);
    Label1->setText(u"版本:"_s + CurrentProgramVersion().text());
    Timer1.start();
}

void fCover::Timer1_Timer()
{
    Timer1.stop(); // one request per start
    m_versionCheck.start();
}

void fCover::Command1_Click()
{
    hide();
    if (m_actions.OpenSearchWindow)
        m_actions.OpenSearchWindow();
}

void fCover::Command3_Click()
{
    close();
}

void fCover::showCover()
{
    show();
    raise();
}

void fCover::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_ending)
        return;
    m_ending = true;
    if (m_actions.EndProgram)
        m_actions.EndProgram();
}

bool fCover::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease)
        m_desktop.openAddress(m_versionCheck.programPage());
    return QWidget::eventFilter(watched, event);
}
