#include "ffiledownload.h"

#include "controlnames.h"
#include "progressdelegate.h"
#include "ui/browser/browserpage.h"
#include "ui/browser/browsertransferfactory.h"
#include "ui/browser/webloginbrowser.h"
#include "sentenceblank.h"
#include "startupcover.h"
#include "taskiconsproxy.h"

#include "core/appsettings.h"
#include "core/programnames.h"
#include "core/programvalues.h"
#include "core/shell.h"
#include "core/windowplacement.h"
#include "ui/platform/combodropwidth.h"
#include "ui/platform/elidedlabel.h"
#include "ui/platform/followrowcount.h"
#include "ui/platform/isformloaded.h"
#include "ui/platform/liststripes.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>
#include <QWebEngineView>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kStripeRowPixels = 17;

// The top panel's background: a soft wash from the stripes' green to white.
QPixmap panelBackground(const QSize& size)
{
    QPixmap pixmap(size.expandedTo(QSize(1, 1)));
    QPainter painter(&pixmap);
    QLinearGradient wash(0, 0, 0, pixmap.height());
    wash.setColorAt(0, QColor(231, 248, 237));
    wash.setColorAt(1, Qt::white);
    painter.fillRect(pixmap.rect(), wash);
    return pixmap;
}

QPixmap busyDot()
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 110, 40), 1));
    painter.setBrush(QColor(40, 190, 70));
    painter.drawEllipse(QRectF(1, 1, 12, 12));
    return pixmap;
}

QString screenResolution(const QWidget* window)
{
    const QScreen* screen = window->screen();
    const QSize size = screen != nullptr ? screen->size() : QSize(1024, 768);
    return ScreenResolutionText(size.width() * kTwipsPerPixel, size.height() * kTwipsPerPixel);
}

} // namespace

fFileDownload::fFileDownload(Services services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_engine(services.Engine)
    , m_rules(m_engine, services.Values, services.Settings, services.Prompts)
{
    setObjectName(AppSettings::kDownloadWindow);
    buildControls();
    buildMenus();
    bindEngine();
    bindLoginPanel();
    bindBrowserTransfers();
    Form_Load();
}

fFileDownload::~fFileDownload()
{
    // The view goes before the model it shows.
    ListView3->setModel(nullptr);
    m_engine.scheduler().setAutoLogin(nullptr);
    // The engine and its transfers stay; their pages are no longer shown here.
    m_services.BrowserTransfers.disconnect(this);
    m_services.BrowserRetries.disconnect(this);
    if (Web1->page() != m_loginPage)
        Web1->setPage(m_loginPage);
}

void fFileDownload::buildControls()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(1, 1, 1, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopPanel());

    ListView3 = NamedControl<QTableView>(u"ListView3"_s, central);
    m_view = std::make_unique<TaskIconsProxy>();
    m_view->setSourceModel(&m_engine.model());
    ListView3->setModel(m_view.get());
    ListView3->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView3->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView3->setEditTriggers(QAbstractItemView::NoEditTriggers); // names are never edited in place
    ListView3->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView3->setToolTip(u"双击鼠标：下载当前项或者打开文件"_s);
    ListView3->setWordWrap(false);
    ListView3->setShowGrid(false);
    ListView3->verticalHeader()->hide();
    ListView3->horizontalHeader()->setSectionsClickable(true);
    ListView3->horizontalHeader()->setHighlightSections(false);
    ListView3->horizontalHeader()->setStretchLastSection(false);
    ListView3->setItemDelegateForColumn(DownloadTableModel::Progress, new ProgressDelegate(ListView3));
    const int widths[] = {420, 50, 90, 90, 110, 320, 40};
    for (int column = 0; column < DownloadTableModel::ColumnCount; ++column)
        ListView3->setColumnWidth(column, widths[column]);
    ApplyListStripes(ListView3, false, kStripeRowPixels);
    layout->addWidget(ListView3, 1);
    setCentralWidget(central);
    buildStatusBar();
    buildLoginPanel(central);
}

QWidget* fFileDownload::buildTopPanel()
{
    Picture3 = NamedControl<QWidget>(u"Picture3"_s);
    Image1 = NamedControl<QLabel>(u"Image1"_s, Picture3);
    Image1->setScaledContents(true);
    Picture3->installEventFilter(this); // Image1 follows the panel's size

    Label4 = NamedControl<QLabel>(u"Label4"_s, u"下载列表："_s);
    Label1 = NamedControl<QLabel>(u"Label1"_s, u"0条"_s);
    Label7 = NamedControl<QLabel>(u"Label7"_s, u"下载方式："_s);
    Command26 = NamedControl<QPushButton>(u"Command26"_s, u"切换"_s);
    Command26->setToolTip(u"更改下载方式"_s);
    Label2 = NamedControl<QLabel>(u"Label2"_s, u"线程数："_s);
    Combo1 = NamedControl<QComboBox>(u"Combo1"_s);
    for (int n = 1; n <= 6; ++n)
        Combo1->addItem(QString::number(n));
    Combo2 = NamedControl<QComboBox>(u"Combo2"_s);
    Label5 = new BlankSentenceLabel(u"两个文件下载间隔："_s, u"        "_s, u"秒"_s, Combo2);
    Label5->setObjectName(u"Label5"_s);

    Picture1 = NamedControl<QWidget>(u"Picture1"_s);
    auto* policies = new QHBoxLayout(Picture1);
    policies->setContentsMargins(0, 0, 0, 0);
    Label8 = NamedControl<QLabel>(u"Label8"_s, u"同名文件："_s);
    Option1 = NamedControl<QRadioButton>(u"Option1"_s, u"跳过"_s);
    Option2 = NamedControl<QRadioButton>(u"Option2"_s, u"覆盖"_s);
    Option3 = NamedControl<QRadioButton>(u"Option3"_s, u"重命名"_s);
    Option3->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Label8, Option1, Option2, Option3})
        policies->addWidget(w);

    Check3 = NamedControl<QCheckBox>(u"Check3"_s, u"自动重新下载："_s);
    Combo4 = NamedControl<QComboBox>(u"Combo4"_s);
    Combo4->addItems({u"出错项"_s, u"文件类型为HTM和HTML项"_s, u"出错项和文件类型为HTM和HTML项"_s});
    SetComboLeastWidth(Combo4, u"出错项"_s);
    Check4 = NamedControl<QCheckBox>(u"Check4"_s, u"当有待下载项时，自动启动下载"_s);
    Check5 = NamedControl<QCheckBox>(u"Check5"_s, u"有5个以上下载出错或者网页文件，就停止下载"_s);
    Check6 = NamedControl<QCheckBox>(u"Check6"_s, u"声音提示"_s);
    Command4 = NamedControl<QPushButton>(u"Command4"_s, u"开始下载"_s);
    Command31 = NamedControl<QPushButton>(u"Command31"_s, u"停止下载"_s);
    Command31->setToolTip(u"停止下载"_s);
    Shape1 = NamedControl<QLabel>(u"Shape1"_s);
    Shape1->setPixmap(busyDot());
    Shape1->setToolTip(u"正在下载"_s);
    Shape1->setFixedSize(16, 16);
    Shape1->hide();
    Command1 = NamedControl<QPushButton>(u"Command1"_s, u"网页登录"_s);

    auto* rows = new QVBoxLayout(Picture3);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(3);
    auto* first = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{Label4, Label1})
        first->addWidget(w);
    first->addSpacing(16);
    for (QWidget* w : std::initializer_list<QWidget*>{Label7, Command26})
        first->addWidget(w);
    first->addSpacing(16);
    for (QWidget* w : std::initializer_list<QWidget*>{Label2, Combo1})
        first->addWidget(w);
    first->addSpacing(16);
    first->addWidget(Label5);
    first->addSpacing(16);
    first->addWidget(Picture1);
    first->addStretch(1);
    auto* second = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{Check3, Combo4, Check4, Check5, Check6})
        second->addWidget(w);
    second->addStretch(1);
    for (QWidget* w : std::initializer_list<QWidget*>{Shape1, Command4, Command31, Command1})
        second->addWidget(w);
    rows->addLayout(first);
    rows->addLayout(second);
    Picture3->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return Picture3;
}

void fFileDownload::buildStatusBar()
{
    StatusBar1 = NamedControl<QStatusBar>(u"StatusBar1"_s);
    StatusBar1->setSizeGripEnabled(true);
    const int stretch[] = {0, 3, 3, 2};
    for (int panel = 0; panel < 4; ++panel) {
        // A file's path or a page's title can be long; the window keeps its width.
        QLabel* label = NamedControl<ElidedLabel>(u"StatusBar1Panel"_s + QString::number(panel + 1));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        label->installEventFilter(this);
        StatusBar1->addWidget(label, stretch[panel]);
        StatusPanels[static_cast<size_t>(panel)] = label;
    }
    StatusPanels[0]->setText(u"Paperpull：文献检索与下载"_s);
    setStatusBar(StatusBar1);
}

void fFileDownload::bindEngine()
{
    DownloadScheduler& scheduler = m_engine.scheduler();
    SchedulerSwitches& switches = scheduler.switches();

    connect(Command26, &QPushButton::clicked, &scheduler, &DownloadScheduler::ToggleDownloadMethod);
    connect(Command4, &QPushButton::clicked, &scheduler, &DownloadScheduler::StartDownloads);
    connect(Command31, &QPushButton::clicked, &scheduler, &DownloadScheduler::StopDownloads);
    connect(Combo1, &QComboBox::currentIndexChanged, this, [&switches](int index) {
        if (index >= 0)
            switches.ThreadCount = index + 1;
    });
    connect(Combo2, &QComboBox::currentIndexChanged, this,
            [&switches](int index) { switches.IntervalSeconds = std::max(index, 0); });
    const std::pair<QRadioButton*, DuplicatePolicy> options[] = {
        {Option1, DuplicatePolicy::Skip}, {Option2, DuplicatePolicy::Overwrite}, {Option3, DuplicatePolicy::Rename}};
    for (const auto& [option, policy] : options) {
        connect(option, &QRadioButton::toggled, this, [&switches, policy = policy](bool on) {
            if (on)
                switches.Policy = policy;
        });
    }
    connect(Check3, &QCheckBox::toggled, this, [&switches](bool on) { switches.AutoRedownload = on; });
    connect(Combo4, &QComboBox::currentIndexChanged, this,
            [&switches](int index) { switches.RedownloadChoice = std::max(index, 0); });
    connect(Check4, &QCheckBox::toggled, this, [&switches](bool on) { switches.AutoStart = on; });
    connect(Check5, &QCheckBox::toggled, this, [&switches](bool on) { switches.StopAfterBadResults = on; });
    connect(Check6, &QCheckBox::toggled, this, [&switches](bool on) { switches.Sounds = on; });

    connect(&scheduler, &DownloadScheduler::methodChanged, this, &fFileDownload::showMethod);
    connect(&scheduler, &DownloadScheduler::switchesChanged, this, &fFileDownload::showSwitches);
    connect(&scheduler, &DownloadScheduler::schedulerEnabledChanged, Shape1, &QWidget::setVisible);
    connect(&scheduler, &DownloadScheduler::statusTextChanged, StatusPanels[1], &QLabel::setText);
    connect(&scheduler, &DownloadScheduler::stateTextChanged, StatusPanels[2], &QLabel::setText);
    connect(&scheduler, &DownloadScheduler::statusCountersChanged, StatusPanels[3], &QLabel::setText);
    connect(&scheduler, &DownloadScheduler::scrollToTask, this,
            [this](int position) { ListView3->scrollTo(m_view->index(position - 1, 0)); });
    // Whoever adds or removes tasks (a dialog still open, the hand-off), the count follows.
    FollowRowCount(m_engine.model(), Label1,
                   [this](int) { Label1->setText(m_engine.commands().TaskCountLabelText()); });

    connect(ListView3, &QWidget::customContextMenuRequested, this, &fFileDownload::ListView3_MouseDown);
    connect(ListView3->horizontalHeader(), &QHeaderView::sectionClicked, this, &fFileDownload::ListView3_ColumnClick);
    connect(ListView3, &QAbstractItemView::clicked, this, &fFileDownload::ListView3_ItemClick);
    connect(ListView3, &QAbstractItemView::doubleClicked, this, &fFileDownload::ListView3_DblClick);
    connect(ListView3->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &fFileDownload::takeViewSelection);
    connect(ListView3->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { m_engine.list().setCurrentPosition(current.row() + 1); });
    // A reset (clear, sort, shuffle) rebuilds the rows: the selection is the tasks' own.
    connect(&m_engine.model(), &QAbstractItemModel::modelReset, this, &fFileDownload::syncSelectionFromTasks);
}

void fFileDownload::Form_Load()
{
    setWindowTitle(u"文件下载-"_s + programnames::kApplication);
    SetComboDropWidth(Combo4);
    Combo4->setCurrentIndex(0);
    const DownloadWindowStart start = m_rules.load();
    showMethod();
    if (start.ThreadPosition >= 0)
        Combo1->setCurrentIndex(start.ThreadPosition);
    switch (start.Policy) {
    case DuplicatePolicy::Skip: Option1->setChecked(true); break;
    case DuplicatePolicy::Overwrite: Option2->setChecked(true); break;
    case DuplicatePolicy::Rename: Option3->setChecked(true); break;
    }
    Combo2->clear();
    for (int seconds = 0; seconds <= 600; ++seconds)
        Combo2->addItem(QString::number(seconds));
    Combo2->setCurrentIndex(0);
    StatusPanels[3]->setText(StatusCountersText(m_engine.list().CountByState()));
    Combo3->setCurrentIndex(0);
    m_loginPage->setSilent(true);
    m_loginPage->load(QUrl(u"about:blank"_s));
}

void fFileDownload::showAsPlaced()
{
    const WindowPlacement placement
        = RestoreWindowPlacement(m_services.Settings, AppSettings::kDownloadWindow, screenResolution(this));
    if (placement.Maximised) {
        // Kept as the normal size where the desktop cannot maximise (no
        // window manager, a tiling one), and for when the user restores it.
        if (const QScreen* screen = this->screen())
            setGeometry(FirstWindowGeometry(screen->availableGeometry(), minimumSizeHint()));
        showMaximized();
        return;
    }
    QRect stored(placement.Left / kTwipsPerPixel, placement.Top / kTwipsPerPixel, placement.Width / kTwipsPerPixel,
                 placement.Height / kTwipsPerPixel);
    if (const QScreen* screen = this->screen())
        stored = KeptWithinArea(stored, screen->availableGeometry());
    setGeometry(stored);
    showNormal();
}

void fFileDownload::showMethod()
{
    const DownloadScheduler& scheduler = m_engine.scheduler();
    Label7->setText(scheduler.methodLabelText());
    const bool enabled = scheduler.threadCountEnabled();
    // The list shows "1"; the parallel method starts from there when switched back.
    Combo1->setCurrentIndex(std::clamp(scheduler.switches().ThreadCount, 1, 6) - 1);
    Combo1->setEnabled(enabled);
}

void fFileDownload::showSwitches()
{
    const SchedulerSwitches& switches = m_engine.scheduler().switches();
    Check3->setChecked(switches.AutoRedownload);
    Check4->setChecked(switches.AutoStart);
}

bool fFileDownload::Form_Unload()
{
    if (!m_rules.close())
        return false;
    m_login->setAutoRefresh(false);
    WindowPlacement placement;
    placement.Maximised = isMaximized();
    const QRect normal = normalGeometry();
    placement.Left = normal.left() * kTwipsPerPixel;
    placement.Top = normal.top() * kTwipsPerPixel;
    placement.Width = normal.width() * kTwipsPerPixel;
    placement.Height = normal.height() * kTwipsPerPixel;
    SaveWindowPlacement(m_services.Settings, AppSettings::kDownloadWindow, placement, screenResolution(this));
    m_engine.saveListNow();
    if (m_cover != nullptr && !IsFormLoaded(u"fWebSearch"_s))
        m_cover->showCover();
    return true;
}

void fFileDownload::closeEvent(QCloseEvent* event)
{
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}

bool fFileDownload::eventFilter(QObject* watched, QEvent* event)
{
    // The login panel lies exactly over the list.
    if (watched == ListView3 && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        PicWebBK->setGeometry(ListView3->geometry());
    if (watched == Picture3 && event->type() == QEvent::Resize) {
        Image1->setGeometry(Picture3->rect());
        Image1->setPixmap(panelBackground(Picture3->size()));
        Image1->lower();
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int panel = 0; panel < 4; ++panel) {
            if (watched == StatusPanels[static_cast<size_t>(panel)])
                StatusBar1_PanelClick(panel + 1);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void fFileDownload::ListView3_MouseDown(const QPoint& position)
{
    applyMenuStates(m_rules.listMenuStates());
    m_listMenu->popup(ListView3->viewport()->mapToGlobal(position));
}

void fFileDownload::applyMenuStates(const ListMenuStates& states)
{
    m_clearMenu->setEnabled(states.Clear);
    m_clearAll->setEnabled(states.ClearAll);
    m_stop->setEnabled(states.Stop);
    m_selectAll->setEnabled(states.SelectAll);
}

void fFileDownload::ListView3_ColumnClick(int column)
{
    m_engine.ordering().SortTasksByColumn(column + 1);
    ListView3->horizontalHeader()->setSortIndicatorShown(true);
    ListView3->horizontalHeader()->setSortIndicator(
        column, m_engine.ordering().sortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void fFileDownload::ListView3_ItemClick(const QModelIndex& index)
{
    if (index.isValid())
        StatusPanels[1]->setText(m_engine.commands().MakeTaskCurrent(index.row() + 1));
}

void fFileDownload::ListView3_DblClick(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    m_engine.list().setCurrentPosition(index.row() + 1);
    m_engine.commands().OpenOrRequeueCurrentTask();
}

void fFileDownload::StatusBar1_PanelClick(int panel)
{
    if (panel != 2)
        return;
    // Panel 2 also carries engine messages; only a file's path is opened.
    const QString text = StatusPanels[1]->text().trimmed();
    if (!text.isEmpty() && QFileInfo(text).isFile())
        m_services.Desktop.openFile(text);
}

void fFileDownload::takeViewSelection()
{
    if (m_syncingSelection)
        return;
    const QItemSelectionModel* selection = ListView3->selectionModel();
    DownloadList& list = m_engine.list();
    for (int p = 1; p <= list.count(); ++p)
        list.TaskAt(p)->Selected = selection->isRowSelected(p - 1, {});
}

void fFileDownload::syncSelectionFromTasks()
{
    QItemSelection rows;
    const DownloadList& list = m_engine.list();
    for (int p = 1; p <= list.count(); ++p) {
        if (list.TaskAt(p)->Selected)
            rows.select(m_view->index(p - 1, 0), m_view->index(p - 1, DownloadTableModel::ColumnCount - 1));
    }
    m_syncingSelection = true;
    ListView3->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_syncingSelection = false;
}
