#include "fiecache.h"

#include "controlnames.h"
#include "formcopymove.h"

#include "ui/platform/liststripes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QTableView* listView(const QString& name, QAbstractItemModel& model)
{
    auto* view = NamedControl<QTableView>(name);
    view->setModel(&model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers); // addresses are never edited in place
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(true);
    ApplyListStripes(view, false, 0);
    return view;
}

} // namespace

fIEcache::fIEcache(Services services, QWidget* parent)
    : QDialog(parent)
    , m_services(std::move(services))
    , m_viewer(m_services.Cache, m_services.Homes)
{
    setObjectName(u"fIEcache"_s);
    setWindowTitle(u"IE浏览器Cookie 缓存和历史列表"_s);
    setSizeGripEnabled(true);
    buildControls();
    resize(900, 600);

    connect(Command1, &QPushButton::clicked, &m_viewer, &CacheViewer::ShowMyCache);
    connect(Command7, &QPushButton::clicked, &m_viewer, &CacheViewer::ShowAllUsersCaches);
    connect(Command6, &QPushButton::clicked, this, &fIEcache::Command6_Click);
    connect(Command2, &QPushButton::clicked, this, &fIEcache::Command2_Click);
    connect(Command3, &QPushButton::clicked, &m_viewer, &CacheViewer::DeleteAllRows);
    connect(Command4, &QPushButton::clicked, this, &fIEcache::close);
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_viewer.SortByColumn(column);
        ListView1->horizontalHeader()->setSortIndicator(
            column, m_viewer.descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    connect(&m_viewer, &CacheViewer::countLineChanged, Label1, &QLabel::setText);
    connect(&m_viewer, &CacheViewer::listed, this, &fIEcache::fitColumns);
}

fIEcache::~fIEcache()
{
    // The views go before the models they show.
    ListView1->setModel(nullptr);
    ListView2->setModel(nullptr);
    ListView3->setModel(nullptr);
}

void fIEcache::buildControls()
{
    Command1 = NamedControl<QPushButton>(u"Command1"_s, u"查看我的缓存"_s);
    Command7 = NamedControl<QPushButton>(u"Command7"_s, u"查看所有用户缓存"_s);
    Command6 = NamedControl<QPushButton>(u"Command6"_s, u"复制选中..."_s);
    Command2 = NamedControl<QPushButton>(u"Command2"_s, u"删除所选文件"_s);
    Command3 = NamedControl<QPushButton>(u"Command3"_s, u"全部删除"_s);
    Command4 = NamedControl<QPushButton>(u"Command4"_s, u"关闭"_s);
    for (QPushButton* button : {Command1, Command7, Command6, Command2, Command3, Command4})
        button->setAutoDefault(false);
    Label1 = NamedControl<QLabel>(u"Label1"_s, u"000"_s);

    ListView1 = listView(u"ListView1"_s, m_viewer.entries());
    ListView1->setSortingEnabled(false); // the viewer sorts, with its own order toggle
    ListView1->horizontalHeader()->setSectionsClickable(true);
    ListView1->horizontalHeader()->setSortIndicatorShown(true);
    ListView1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ListView2 = listView(u"ListView2"_s, m_viewer.users());
    ListView3 = listView(u"ListView3"_s, m_viewer.subfolders());

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {Command1, Command7, Command6, Command2, Command3})
        buttons->addWidget(button);
    buttons->addSpacing(12);
    buttons->addWidget(Label1);
    buttons->addStretch();
    buttons->addWidget(Command4);

    auto* folders = new QSplitter(Qt::Horizontal);
    folders->addWidget(ListView2);
    folders->addWidget(ListView3);
    folders->setChildrenCollapsible(false);
    auto* lists = new QSplitter(Qt::Vertical);
    lists->addWidget(ListView1);
    lists->addWidget(folders);
    lists->setStretchFactor(0, 3);
    lists->setStretchFactor(1, 1);
    lists->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(lists, 1);
}

QList<int> fIEcache::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : ListView1->selectionModel()->selectedRows())
        rows.append(index.row());
    return rows;
}

void fIEcache::Command6_Click()
{
    Form_Copy_Move dialog(m_services.Settings, m_services.Prompts, m_services.FolderHistoryFile, this);
    dialog.setSourceFiles(m_viewer.CopySources(selectedRows()));
    dialog.exec();
}

void fIEcache::Command2_Click()
{
    m_viewer.DeleteRows(selectedRows());
}

void fIEcache::fitColumns()
{
    for (QTableView* view : {ListView1, ListView2, ListView3})
        view->resizeColumnsToContents();
}
