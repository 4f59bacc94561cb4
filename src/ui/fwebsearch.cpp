#include "fwebsearch.h"

#include "controlnames.h"
#include "startupcover.h"
#include "foption.h"
#include "frmabout.h"

#include "core/appsettings.h"
#include "core/listsaver.h"
#include "search/analysislistfile.h"
#include "core/programnames.h"
#include "core/programvalues.h"
#include "core/userprompts.h"
#include "search/analysisexport.h"
#include "search/handoff.h"
#include "ui/browser/webbrowserview.h"
#include "ui/platform/columnfit.h"
#include "ui/platform/elidedlabel.h"
#include "ui/platform/isformloaded.h"
#include "ui/platform/liststripes.h"
#include "ui/platform/suggestionmail.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kMinimumWidth = 9000 / kTwipsPerPixel;
constexpr int kMinimumHeight = 5000 / kTwipsPerPixel;
// The list pane keeps at least this much: a bar dragged lower goes back to four fifths.
constexpr int kListPaneMinimum = 1200 / kTwipsPerPixel;
constexpr int kStripeRowPixels = 13;

} // namespace

fWebSearch::fWebSearch(Services services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(std::move(services))
    , m_model(m_list)
{
    setObjectName(u"fWebSearch"_s);
    buildControls();
    m_controller = std::make_unique<AnalysisController>(m_model, WebBrowser1->searchBrowser(), m_services.Values,
                                                        m_services.SaveFolder, m_services.DownloadTasks,
                                                        m_services.Downloads, m_services.Prompts, m_services.Timing);
    buildMenus();
    bindController();
    Form_Load();
}

fWebSearch::~fWebSearch()
{
    // The analysis runs stop before the browser they read goes.
    m_controller.reset();
    ListView1->setModel(nullptr);
}

void fWebSearch::buildControls()
{
    setWindowTitle(u"ACS数据检索分析 - "_s + programnames::kApplication);
    setMinimumSize(kMinimumWidth, kMinimumHeight);

    PicBar = NamedControl<QSplitter>(u"PicBar"_s, Qt::Vertical);
    PicBar->setChildrenCollapsible(false);
    PicBar->setHandleWidth(120 / kTwipsPerPixel);
    PicPanWeb = NamedControl<QWidget>(u"PicPanWeb"_s);
    auto* webLayout = new QVBoxLayout(PicPanWeb);
    webLayout->setContentsMargins(0, 0, 1, 1);
    WebBrowser1 = new WebBrowserView(m_services.Browser, PicPanWeb);
    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    webLayout->addWidget(WebBrowser1);
    PicBar->addWidget(PicPanWeb);
    PicBar->addWidget(buildListPane());
    PicBar->setStretchFactor(0, 4);
    PicBar->setStretchFactor(1, 1);
    // A bar dragged below the list's minimum goes back to four fifths once released.
    connect(PicBar, &QSplitter::splitterMoved, this, &fWebSearch::layoutPanes);
    setCentralWidget(PicBar);

    StatusBar1 = NamedControl<QStatusBar>(u"StatusBar1"_s);
    auto* panel1 = NamedControl<QLabel>(u"StatusBar1Panel1"_s, u"Paperpull"_s);
    // A link's address can be long; the window keeps its width.
    StatusPanel2 = NamedControl<ElidedLabel>(u"StatusBar1Panel2"_s);
    StatusBar1->addWidget(panel1);
    StatusBar1->addWidget(StatusPanel2, 1);
    setStatusBar(StatusBar1);
    resize(1100, 760);
}

QWidget* fWebSearch::buildListPane()
{
    PicPanList = NamedControl<QWidget>(u"PicPanList"_s);
    PicPanList->setMinimumHeight(kListPaneMinimum);
    Command9 = NamedControl<QPushButton>(u"Command9"_s, u"加入本页到列表"_s);
    Command4 = NamedControl<QPushButton>(u"Command4"_s, u"加入全部到列表"_s);
    Command7 = NamedControl<QPushButton>(u"Command7"_s, u"导出数据..."_s);
    Command2 = NamedControl<QPushButton>(u"Command2"_s, u"分析下载"_s);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Command9, Command4, Command7, Command2}) {
        b->setFixedWidth(1800 / kTwipsPerPixel);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    Label2 = NamedControl<QLabel>(u"Label2"_s, u"待下载列表："_s);
    Label1 = NamedControl<QLabel>(u"Label1"_s, u"0"_s);
    Check1 = NamedControl<QCheckBox>(u"Check1"_s, u"只提取网页勾选项"_s);
    Check2 = NamedControl<QCheckBox>(u"Check2"_s, u"禁止浏览器弹出脚本提示"_s);
    auto* header = new QHBoxLayout;
    header->addWidget(Label2);
    header->addWidget(Label1);
    Label3 = NamedControl<QLabel>(u"Label3"_s);
    header->addWidget(Label3);
    header->addSpacing(24);
    header->addWidget(Check1);
    header->addSpacing(12);
    header->addWidget(Check2);
    header->addStretch(1);

    ListView1 = NamedControl<QTableView>(u"ListView1"_s);
    ListView1->setModel(&m_model);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->setShowGrid(false);
    ListView1->setWordWrap(false);
    ListView1->verticalHeader()->hide();
    ListView1->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {520, 60, 90, 260, 60};
    for (int column = 0; column < AnalysisTableModel::ColumnCount; ++column)
        ListView1->setColumnWidth(column, widths[column]);
    ApplyListStripes(ListView1, false, kStripeRowPixels);

    auto* right = new QVBoxLayout;
    right->addLayout(header);
    right->addWidget(ListView1, 1);
    auto* pane = new QGridLayout(PicPanList);
    pane->setContentsMargins(8, 4, 4, 4);
    pane->addLayout(buttons, 0, 0);
    pane->addLayout(right, 0, 1);
    pane->setColumnStretch(1, 1);

    // The progress panel floats in the middle of the pane while a run goes on.
    PicPanPrograss = NamedControl<QWidget>(u"PicPanPrograss"_s);
    PicPanPrograss->setAutoFillBackground(true);
    PicPanPrograss->setStyleSheet(u"#PicPanPrograss { border: 1px solid #6a9a7a; background: #e7f8ed; }"_s);
    Label11 = NamedControl<QLabel>(u"Label11"_s, u"正在分析，请稍候..."_s);
    Command5 = NamedControl<QPushButton>(u"Command5"_s, u"停止"_s);
    auto* progress = new QHBoxLayout(PicPanPrograss);
    progress->addWidget(Label11);
    progress->addWidget(Command5);
    pane->addWidget(PicPanPrograss, 0, 0, 1, 2, Qt::AlignCenter);
    PicPanPrograss->hide();
    return PicPanList;
}

void fWebSearch::buildMenus()
{
    AnalysisController& c = *m_controller;
    const auto run = [this](QMenu* menu, const QString& caption, auto&& command) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    // "加入" is not in the menu bar: it pops up under "分析下载".
    m_analyseMenu = new QMenu(u"加入"_s, this);
    m_analyseMenu->setObjectName(u"mnuAnalyse"_s);
    run(m_analyseMenu, u"分析未分析项"_s, [&c] { c.AnalyseUnanalysed(); });
    run(m_analyseMenu, u"分析失败项"_s, [&c] { c.AnalyseFailed(); });
    run(m_analyseMenu, u"分析选中项"_s, [&c] { c.AnalyseSelected(); });
    run(m_analyseMenu, u"分析全部"_s, [&c] { c.AnalyseAll(); });

    QMenu* browse = menuBar()->addMenu(u"浏览(&B)"_s);
    run(browse, u"打开ACS首页"_s, [this] { OpenHomePage(); });
    run(browse, u"打开指定网址..."_s, [this] { OpenAddress(); });
    browse->addSeparator();
    run(browse, u"后退"_s, [this] { WebBrowser1->GoBack(); });
    run(browse, u"前进"_s, [this] { WebBrowser1->GoForward(); });
    browse->addSeparator();
    run(browse, u"关闭本窗口"_s, [this] { close(); });

    // Also the list's right-click menu.
    m_clearMenu = menuBar()->addMenu(u"清除(&C)"_s);
    m_clearMenu->setObjectName(u"mnuClear"_s);
    run(m_clearMenu, u"清除选中项"_s, [&c] { c.ClearSelected(); });
    run(m_clearMenu, u"清除分析成功项"_s, [&c] { c.ClearSucceeded(); });
    run(m_clearMenu, u"清除标题含指定字符项"_s, [&c] { c.ClearTitleContaining(); });
    run(m_clearMenu, u"清除标题不含指定字符项"_s, [&c] { c.ClearTitleNotContaining(); });
    run(m_clearMenu, u"清空全部"_s, [&c] { c.ClearAll(); });

    QMenu* tools = menuBar()->addMenu(u"工具(&T)"_s);
    run(tools, u"设置"_s, [this] { openOptions(); });
    run(tools, u"打开下载窗口"_s, [this] { m_services.Downloads.ShowDownloadWindow(); });
    tools->addSeparator();
    m_viewCacheAction = run(tools, u"查看IE浏览器缓存"_s, [this] {
        if (m_viewCache)
            m_viewCache();
    });
    m_clearCacheAction = run(tools, u"清空IE浏览器缓存"_s, [this] {
        if (m_clearCache)
            m_clearCache();
    });
    m_viewCacheAction->setEnabled(false);
    m_clearCacheAction->setEnabled(false);

    QMenu* help = menuBar()->addMenu(u"帮助(&H)"_s);
    run(help, u"关于(&A)"_s, [this] { showAbout(); });
    help->addSeparator();
    run(help, u"给软件作者建议"_s, [this] { SendSuggestionMail(m_services.Desktop); });
}

void fWebSearch::setCacheCommands(std::function<void()> viewCache, std::function<void()> clearCache)
{
    m_viewCache = std::move(viewCache);
    m_clearCache = std::move(clearCache);
    m_viewCacheAction->setEnabled(bool(m_viewCache));
    m_clearCacheAction->setEnabled(bool(m_clearCache));
}

void fWebSearch::bindController()
{
    AnalysisController& c = *m_controller;
    connect(Command9, &QPushButton::clicked, &c, &AnalysisController::AddCurrentPage);
    connect(Command4, &QPushButton::clicked, &c, &AnalysisController::AddAllPages);
    connect(Command7, &QPushButton::clicked, this, [this] { ExportAnalysisList(m_list, m_services.Prompts); });
    connect(Command2, &QPushButton::clicked, &c, &AnalysisController::AnalyseCommand);
    connect(Command5, &QPushButton::clicked, &c, &AnalysisController::StopAnalysis);
    connect(Check1, &QCheckBox::toggled, &c, &AnalysisController::setOnlyChecked);
    connect(Check2, &QCheckBox::toggled, WebBrowser1, &WebBrowserView::setSilent);
    connect(&c, &AnalysisController::addAllButtonChanged, this, &fWebSearch::showAddAllButton);
    connect(&c, &AnalysisController::progressPanelChanged, this, &fWebSearch::showProgress);
    connect(&c, &AnalysisController::rowCountChanged, Label1, &QLabel::setText);
    connect(&c, &AnalysisController::hiddenEntriesChanged, Label3, &QLabel::setText);
    connect(&c, &AnalysisController::analyseButtonEnabled, Command2, &QWidget::setEnabled);
    connect(&c, &AnalysisController::columnsNeedSizing, ListView1, [this] { FitColumnsToContents(ListView1); });
    connect(&c, &AnalysisController::analyseMenuRequested, this,
            [this] { m_analyseMenu->popup(Command2->mapToGlobal(QPoint(0, Command2->height()))); });
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_clearMenu->popup(ListView1->viewport()->mapToGlobal(at)); });
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        // The list's own selection is what "分析选中项" and "清除选中项" act on.
        const QItemSelectionModel* selection = ListView1->selectionModel();
        for (int row = 0; row < m_list.count(); ++row)
            m_list.at(row)->Selected = selection->isRowSelected(row, {});
    });
    connect(WebBrowser1, &WebBrowserView::statusTextChanged, StatusPanel2, &QLabel::setText);
}

void fWebSearch::Form_Load()
{
    restoreList();
    Check2->setChecked(true);
    WebBrowser1->setSilent(true);
    WebBrowser1->Navigate(QUrl(u"about:blank"_s));
    OpenHomePage();
}

void fWebSearch::restoreList()
{
    const QString path = m_services.ListFile;
    if (path.isEmpty())
        return;
    if (!analysislistfile::Restore(path, m_model, m_services.Prompts))
        return; // a file that could not be set aside is not overwritten
    m_listSaver = std::make_unique<ListSaver>(
        m_model, [this, path](QString* error) { return analysislistfile::Save(path, m_list, error); },
        m_services.Prompts, u"分析列表"_s);
    Label1->setText(m_list.countText());
}

void fWebSearch::OpenHomePage()
{
    Check2->setChecked(true);
    WebBrowser1->Navigate(QUrl(m_services.HomePage));
}

void fWebSearch::OpenAddress()
{
    const std::optional<QString> answer = m_services.Prompts.askText(u"请输入需要打开的网址："_s, u"请输入..."_s);
    if (!answer)
        return;
    const QString address = answer->trimmed();
    // Script dialogs may show on secure pages, where sign-in forms ask things.
    Check2->setChecked(address.left(8).toLower() != u"https://"_s);
    if (!address.isEmpty())
        WebBrowser1->Navigate(QUrl::fromUserInput(address));
}

void fWebSearch::showAddAllButton()
{
    Command4->setText(m_controller->addAllCaption());
    Command4->setStyleSheet(m_controller->addAllRunning() ? u"color: red;"_s : QString());
}

void fWebSearch::showProgress()
{
    Label11->setText(m_controller->progressText());
    PicPanPrograss->setVisible(m_controller->progressPanelVisible());
    PicPanPrograss->raise();
}

void fWebSearch::layoutPanes()
{
    const QList<int> sizes = PicBar->sizes();
    if (sizes.size() != 2)
        return;
    const int total = sizes[0] + sizes[1];
    if (sizes[1] < kListPaneMinimum)
        PicBar->setSizes({total * 4 / 5, total - total * 4 / 5});
}

void fWebSearch::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layoutPanes();
}

void fWebSearch::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_panesPlaced)
        return;
    // The site above gets four fifths, the list the rest.
    m_panesPlaced = true;
    const int total = PicBar->height();
    PicBar->setSizes({total * 4 / 5, total - total * 4 / 5});
}

void fWebSearch::openOptions()
{
    // Edited on a copy and applied as a whole: a running download window
    // takes a method switch through its engine.
    ProgramValues edited = m_services.Values;
    fOption dialog(edited, m_services.Settings, m_services.Prompts, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (m_services.ApplyOptions)
        m_services.ApplyOptions(edited);
    else
        m_services.Values = edited;
}

void fWebSearch::showAbout()
{
    frmAbout about(this);
    about.exec();
}

void fWebSearch::closeEvent(QCloseEvent* event)
{
    m_controller->windowClosing();
    if (m_listSaver)
        m_listSaver->flush();
    if (m_cover != nullptr && !IsFormLoaded(AppSettings::kDownloadWindow))
        m_cover->showCover();
    event->accept();
}
