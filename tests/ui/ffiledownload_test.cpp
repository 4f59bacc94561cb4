#include "dialogfixture.h"
#include "downloadenginerig.h"

#include "ui/browser/browsertesting.h"

#include "downloads/engine/soundclips.h"
#include "support/recordingshell.h"
#include "support/testhttpserver.h"
#include "ui/browser/browsertransferfactory.h"
#include "core/windowplacement.h"
#include "ui/addresslistdialog.h"
#include "ui/ffiledownload.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

struct Silence final : SoundPlayer {
    void PlayNotifySound(int) override {}
};

class DownloadWindowTest : public ::testing::Test, public DialogFixture {
protected:
    std::unique_ptr<fFileDownload> open()
    {
        if (!rig)
            rig = std::make_unique<DownloadEngineRig>(values, prompts, shell, sounds);
        return std::make_unique<fFileDownload>(fFileDownload::Services{
            values, settings, prompts, shell, sounds, temp.filePath(u"SaveList.dat"_s), SharedProfile(), rig->engine,
            rig->browser.transfers(), rig->browser.retries()});
    }

    static void savePicture(QWidget& window, const QString& name)
    {
        const QImage image = window.grab().toImage();
        ASSERT_FALSE(image.isNull());
        const QString folder = QStringLiteral(PAPERPULL_SCREENSHOT_DIR);
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + u'/' + name + u".png"_s));
    }

    // The program's engine; the windows of a test come and go over it.
    std::unique_ptr<DownloadEngineRig> rig;

    static QAction* menuEntry(QWidget& window, const QStringList& path)
    {
        QList<QAction*> actions = window.findChild<QMenuBar*>()->actions();
        QAction* found = nullptr;
        for (const QString& caption : path) {
            found = nullptr;
            for (QAction* action : actions) {
                if (action->text() == caption)
                    found = action;
            }
            if (found == nullptr) {
                ADD_FAILURE() << "no menu entry " << caption.toStdString();
                return nullptr;
            }
            actions = found->menu() != nullptr ? found->menu()->actions() : QList<QAction*>{};
        }
        return found;
    }

    int addTask(fFileDownload& window, const QString& name, TaskState state, const QString& progress = {})
    {
        DownloadTableModel& model = window.engine().model();
        model.AddTask(u"https://pubs.example.org/doi/pdf/"_s + name, name, u"pdf"_s, temp.path() + u'/', {});
        const int position = model.list().count();
        DownloadTask& task = *model.list().TaskAt(position);
        task.State = state;
        task.Progress = progress;
        model.taskChanged(position);
        return position;
    }

    RecordingShell shell;
    Silence sounds;
};

TEST_F(DownloadWindowTest, FirstStartShowsTheDefaults)
{
    auto window = open();
    window->showAsPlaced();
    EXPECT_EQ(window->windowTitle(), u"文件下载-Paperpull"_s);
    EXPECT_EQ(control<QLabel>(*window, u"Label7"_s)->text(), u"下载方式：2"_s);
    auto* threads = control<QComboBox>(*window, u"Combo1"_s);
    EXPECT_TRUE(threads->isEnabled());
    EXPECT_EQ(threads->currentText(), u"3"_s);
    EXPECT_TRUE(control<QRadioButton>(*window, u"Option3"_s)->isChecked());
    auto* interval = control<QComboBox>(*window, u"Combo2"_s);
    EXPECT_EQ(interval->count(), 601);
    EXPECT_EQ(interval->currentText(), u"0"_s);
    EXPECT_EQ(control<QComboBox>(*window, u"Combo4"_s)->currentText(), u"出错项"_s);
    for (const QString& box : {u"Check3"_s, u"Check4"_s, u"Check5"_s, u"Check6"_s})
        EXPECT_FALSE(control<QCheckBox>(*window, box)->isChecked()) << box.toStdString();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->engine().scheduler().switches().ThreadCount, 3);
}

TEST_F(DownloadWindowTest, AtItsFirstSizeTheListAndTheSignInBrowserHaveRoom)
{
    auto window = open();
    window->showAsPlaced();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QRect available = window->screen()->availableGeometry();
    // Where the desktop does not maximise, or once restored: most of the screen.
    EXPECT_EQ(window->normalGeometry(), FirstWindowGeometry(available, window->minimumSizeHint()));
    EXPECT_GE(window->normalGeometry().width(), available.width() * 8 / 10);
    EXPECT_GE(window->normalGeometry().height(), available.height() * 8 / 10);

    for (const bool maximised : {true, false}) {
        if (!maximised) {
            window->showNormal();
            QTest::qWait(20);
        }
        auto* list = control<QTableView>(*window, u"ListView3"_s);
        EXPECT_GE(list->viewport()->height(), 10 * list->verticalHeader()->defaultSectionSize()) << maximised;
        control<QPushButton>(*window, u"Command1"_s)->click();
        auto* web = control<QWebEngineView>(*window, u"Web1"_s);
        EXPECT_GE(web->height(), 100) << maximised;
        control<QPushButton>(*window, u"Command3"_s)->click();
    }
}

TEST_F(DownloadWindowTest, NeitherTheSignInPanelNorALongStatusWidensTheWindowPastTheScreen)
{
    auto window = open();
    window->showAsPlaced();
    window->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const int available = window->screen()->availableGeometry().width();
    const QString title = QString(u"Total Synthesis of Vinigrol by Radical Cyclization and Ring Expansion "_s).repeated(8);
    addTask(*window, title, TaskState::Completed);
    window->resize(window->minimumSizeHint().width(), window->height()); // the narrowest it is ever made
    QTest::qWait(20);
    const int narrowest = window->width();
    ASSERT_LE(narrowest, available);

    control<QPushButton>(*window, u"Command1"_s)->click();
    auto* panel = control<QWidget>(*window, u"PicWebBK"_s);
    auto* list = control<QTableView>(*window, u"ListView3"_s);
    EXPECT_TRUE(panel->isVisible());
    for (const QString& name : {u"StatusBar1Panel2"_s, u"StatusBar1Panel3"_s}) {
        auto* status = control<QLabel>(*window, name);
        status->setText(u"完成下载:"_s + title);
        EXPECT_EQ(status->text(), u"完成下载:"_s + title); // kept whole, shown cut short
    }
    menuEntry(*window, {u"列表操作(&D)"_s, u"自动调整列宽"_s})->trigger();
    QTest::qWait(50); // the layouts settle
    EXPECT_EQ(window->width(), narrowest);
    EXPECT_LE(window->frameGeometry().width(), available);
    EXPECT_LE(window->minimumSizeHint().width(), narrowest);
    // The panel lies in the list's own room.
    EXPECT_EQ(panel->geometry(), list->geometry());
    EXPECT_LE(list->columnWidth(DownloadTableModel::Name), list->viewport()->width() / 2);
}

TEST_F(DownloadWindowTest, PictureOfTheSignInPanelAtTheFirstSize)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/action/showLogin",
                 Route{.Body = "<html><head><title>Sign in | ACS Publications</title></head><body>"
                               "<h2>Sign in</h2><form><p>User name <input name=username></p>"
                               "<p>Password <input type=password name=password></p>"
                               "<p><input type=submit value='Sign in'></p></form></body></html>",
                       .ContentType = "text/html"});
    auto window = open();
    for (const QString& name : {u"Total Synthesis of Vinigrol by Radical Cyclization"_s,
                                u"Catalytic Asymmetric Hydrogenation of Imines with Chiral Iridium Complexes "
                                u"Bearing Spiro Phosphine-Oxazoline Ligands: Scope, Mechanism and Applications"_s})
        addTask(*window, name, TaskState::Completed, u"100%"_s);
    window->engine().scheduler().HousekeepingTick();
    window->showAsPlaced();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    control<QLabel>(*window, u"StatusBar1Panel2"_s)
        ->setText(temp.path() + u"/Catalytic Asymmetric Hydrogenation of Imines with Chiral Iridium Complexes "
                                u"Bearing Spiro Phosphine-Oxazoline Ligands: Scope, Mechanism and Applications.pdf"_s);
    control<QPushButton>(*window, u"Command1"_s)->click();
    control<QLineEdit>(*window, u"Text1"_s)->setText(server.url(u"/action/showLogin"_s));
    control<QLineEdit>(*window, u"Text2"_s)->setText(u"demo"_s);
    control<QLineEdit>(*window, u"Text3"_s)->setText(u"demo"_s);
    control<QPushButton>(*window, u"Command2"_s)->click();
    auto* state = control<QLabel>(*window, u"StatusBar1Panel3"_s);
    ASSERT_TRUE(WaitUntil([&] { return state->text() == u"Sign in | ACS Publications"_s; }, 15000));
    QTest::qWait(400); // painted a moment after it is complete
    EXPECT_LE(window->frameGeometry().width(), window->screen()->availableGeometry().width());
    savePicture(*window, u"ffiledownload-login-panel"_s);
}

TEST_F(DownloadWindowTest, TheCountBesideTheListFollowsItWhileTheAddressDialogIsOpen)
{
    auto window = open();
    window->show();
    auto* count = control<QLabel>(*window, u"Label1"_s);
    EXPECT_EQ(count->text(), u"0条"_s);

    AddressListDialog dialog(window->engine().model(), temp.path() + u'/', prompts, window.get());
    dialog.show();
    QStringList lines;
    for (int n = 1; n <= 8; ++n)
        lines.append(u"https://pubs.example.org/doi/pdf/10.1021/ja%1"_s.arg(n));
    lines.append(u"not an address"_s); // keeps the dialog open
    control<QPlainTextEdit>(dialog, u"Text1"_s)->setPlainText(lines.join(u'\n'));
    click(dialog, u"Command1"_s);
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(window->engine().list().count(), 8);
    EXPECT_EQ(count->text(), u"8条"_s);
    dialog.reject();

    // One row at a time, as the hand-off adds them, and a clear from the menu.
    addTask(*window, u"ninth"_s, TaskState::Waiting);
    EXPECT_EQ(count->text(), u"9条"_s);
    prompts.yesNoAnswers = {true};
    menuEntry(*window, {u"列表操作(&D)"_s, u"清空"_s})->trigger();
    EXPECT_EQ(count->text(), u"0条"_s);
}

TEST_F(DownloadWindowTest, StoredChoicesAreShown)
{
    const struct {
        const char* Label;
        QString Policy;
        QString Method;
        QString RadioButton;
        bool ThreadsEnabled;
    } cases[] = {
        {"skip", u"跳过"_s, u"2"_s, u"Option1"_s, true},
        {"overwrite_padded", u" 覆盖 "_s, u"2"_s, u"Option2"_s, true},
        {"no_such_caption", u"删除"_s, u"2"_s, u"Option3"_s, true},
        {"single_transfer", u"重命名"_s, u"1"_s, u"Option3"_s, false},
    };
    for (const auto& c : cases) {
        storage.write(u"专利下载"_s, u"重复文件名设置"_s, c.Policy);
        storage.write(u"设置"_s, u"下载方式"_s, c.Method);
        storage.write(u"下载"_s, u"线程"_s, u"5"_s);
        auto window = open();
        EXPECT_TRUE(control<QRadioButton>(*window, c.RadioButton)->isChecked()) << c.Label;
        auto* threads = control<QComboBox>(*window, u"Combo1"_s);
        EXPECT_EQ(threads->isEnabled(), c.ThreadsEnabled) << c.Label;
        EXPECT_EQ(threads->currentText(), c.ThreadsEnabled ? u"6"_s : u"1"_s) << c.Label;
        EXPECT_EQ(control<QLabel>(*window, u"Label7"_s)->text(), u"下载方式："_s + c.Method) << c.Label;
    }
}

TEST_F(DownloadWindowTest, ClosingAsksOnlyWhileWorkIsLeftAndSavesFirst)
{
    {
        auto window = open();
        window->showAsPlaced();
        control<QRadioButton>(*window, u"Option2"_s)->setChecked(true);
        control<QComboBox>(*window, u"Combo1"_s)->setCurrentIndex(4);
        EXPECT_TRUE(window->close());
        EXPECT_TRUE(prompts.shown.isEmpty()); // an empty list: nothing to ask
        EXPECT_EQ(storage.read(u"专利下载"_s, u"重复文件名设置"_s).value_or(QString()), u"覆盖"_s);
        EXPECT_EQ(storage.read(u"下载"_s, u"线程"_s).value_or(QString()), u"4"_s);
        EXPECT_EQ(storage.read(u"设置"_s, u"下载方式"_s).value_or(QString()), u"2"_s);
    }
    auto window = open();
    window->show();
    addTask(*window, u"a"_s, TaskState::Waiting);
    control<QPushButton>(*window, u"Command26"_s)->click(); // method 1
    control<QRadioButton>(*window, u"Option1"_s)->setChecked(true);
    prompts.yesNoAnswers = {false};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown.first().Text, u"正在下载文件或者下载没有完成，要强制关闭窗口吗？"_s);
    EXPECT_EQ(prompts.shown.first().Icon, MessageIcon::Question);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->engine().list().count(), 1);
    // Saved all the same, before the question.
    EXPECT_EQ(storage.read(u"专利下载"_s, u"重复文件名设置"_s).value_or(QString()), u"跳过"_s);
    EXPECT_EQ(storage.read(u"设置"_s, u"下载方式"_s).value_or(QString()), u"1"_s);

    prompts.yesNoAnswers = {true};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(storage.read(u"下载"_s, u"线程"_s).value_or(QString()), u"4"_s); // the parallel count stays
}

TEST_F(DownloadWindowTest, PlacementIsSavedAndRestored)
{
    {
        auto window = open();
        window->showAsPlaced();
        window->showNormal();
        window->setGeometry(60, 80, 1200, 640);
        QTest::qWait(20);
        window->close();
    }
    auto window = open();
    window->showAsPlaced();
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->geometry().size(), QSize(1200, 640));
}

TEST_F(DownloadWindowTest, ClosingTheWindowSavesTheListAndLeavesTheEngineWithIt)
{
    const QString file = temp.filePath(u"downloads.dat"_s);
    rig = std::make_unique<DownloadEngineRig>(values, prompts, shell, sounds);
    ASSERT_TRUE(rig->engine.keepListIn(file));
    auto window = open();
    addTask(*window, u"a"_s, TaskState::Completed);
    EXPECT_TRUE(window->close());
    window.reset();
    // The list is the engine's: still there for the next window...
    ASSERT_EQ(rig->engine.list().count(), 1);
    window = open();
    EXPECT_EQ(window->engine().list().TaskAt(1)->Name, u"a"_s);
    window.reset();
    // ...and in the file for the next run.
    DownloadEngineRig nextRun(values, prompts, shell, sounds);
    ASSERT_TRUE(nextRun.engine.keepListIn(file));
    ASSERT_EQ(nextRun.engine.list().count(), 1);
    EXPECT_EQ(nextRun.engine.list().TaskAt(1)->State, TaskState::Completed);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(DownloadWindowTest, RightClickStatesStayInTheMenuBarUntilTheNextOne)
{
    auto window = open();
    window->show();
    addTask(*window, u"a"_s, TaskState::Waiting);
    auto* list = control<QTableView>(*window, u"ListView3"_s);
    window->engine().scheduler().switches().IntervalSeconds = 100000; // on, but starting nothing
    window->engine().scheduler().StartDownloads();
    emit list->customContextMenuRequested(QPoint(5, 5));
    QAction* clearAll = menuEntry(*window, {u"列表操作(&D)"_s, u"清空"_s});
    QAction* clear = menuEntry(*window, {u"列表操作(&D)"_s, u"清除"_s});
    QAction* stop = menuEntry(*window, {u"列表操作(&D)"_s, u"停止下载"_s});
    QAction* selectAll = menuEntry(*window, {u"列表操作(&D)"_s, u"全选"_s});
    EXPECT_FALSE(clearAll->isEnabled());
    EXPECT_FALSE(clear->isEnabled());
    EXPECT_FALSE(selectAll->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    window->findChild<QMenu*>(u"mnuList"_s)->hide();

    window->engine().scheduler().StopDownloads();
    EXPECT_FALSE(clearAll->isEnabled()); // kept until the next right-click
    emit list->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(clearAll->isEnabled());
    EXPECT_TRUE(selectAll->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
    window->findChild<QMenu*>(u"mnuList"_s)->hide();
}

TEST_F(DownloadWindowTest, RedownloadFailedFromTheMenuReachesTheRows)
{
    auto window = open();
    addTask(*window, u"w"_s, TaskState::Waiting);
    addTask(*window, u"c"_s, TaskState::Completed, u"100%"_s);
    const int failed = addTask(*window, u"f"_s, TaskState::Failed, u"37%"_s);
    temp.writeFile(u"f.pdf"_s, "half");
    QSignalSpy changed(&window->engine().model(), &QAbstractItemModel::dataChanged);
    menuEntry(*window, {u"列表操作(&D)"_s, u"重新下载"_s, u"出错项"_s})->trigger();
    const DownloadList& list = window->engine().list();
    EXPECT_EQ(list.TaskAt(failed)->State, TaskState::Waiting);
    EXPECT_EQ(list.TaskAt(failed)->Progress, u""_s);
    EXPECT_FALSE(QFile::exists(temp.filePath(u"f.pdf"_s)));
    EXPECT_EQ(list.TaskAt(2)->State, TaskState::Completed);
    EXPECT_EQ(changed.count(), 1);
    const QModelIndex shown = control<QTableView>(*window, u"ListView3"_s)->model()->index(failed - 1, 0);
    EXPECT_EQ(shown.data(Qt::DecorationRole).typeId(), QMetaType::QIcon);
}

TEST_F(DownloadWindowTest, SelectionInTheViewIsTheTasksSelection)
{
    auto window = open();
    window->show();
    for (const QString& name : {u"a"_s, u"b"_s, u"c"_s})
        addTask(*window, name, TaskState::Completed, u"100%"_s);
    auto* view = control<QTableView>(*window, u"ListView3"_s);
    view->selectionModel()->select(view->model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const DownloadList& list = window->engine().list();
    EXPECT_FALSE(list.TaskAt(1)->Selected);
    EXPECT_TRUE(list.TaskAt(2)->Selected);
    menuEntry(*window, {u"列表操作(&D)"_s, u"全选"_s})->trigger();
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 3);
    menuEntry(*window, {u"列表操作(&D)"_s, u"清除"_s, u"选中项"_s})->trigger();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(control<QLabel>(*window, u"Label1"_s)->text(), u"0条"_s);
}

TEST_F(DownloadWindowTest, StartAndStopWithTheRealEngine)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    auto window = open();
    window->show();
    for (int i = 0; i < 6; ++i) {
        const QByteArray path = "/doi/pdf/" + QByteArray::number(i);
        server.route(path, Route{.Body = PdfBody(40000 + i, i), .DripBytes = 10000, .DripMs = 5});
        window->engine().model().AddTask(server.url(QString::fromLatin1(path)), u"Paper "_s + QString::number(i),
                                         u"pdf"_s, temp.path() + u'/', {});
    }
    server.route("/slow", Route{.Body = PdfBody(2000000), .DripBytes = 1000, .DripMs = 50});
    window->engine().model().AddTask(server.url(u"/slow"_s), u"Slow"_s, u"pdf"_s, temp.path() + u'/', {});
    control<QComboBox>(*window, u"Combo1"_s)->setCurrentIndex(5); // six at once
    control<QPushButton>(*window, u"Command4"_s)->click();
    EXPECT_TRUE(control<QLabel>(*window, u"Shape1"_s)->isVisible());
    const DownloadList& list = window->engine().list();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.CountByState().Completed == 6; }, 15000));
    auto* view = control<QTableView>(*window, u"ListView3"_s);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(view->model()->index(row, DownloadTableModel::Progress).data().toString(), u"100%"_s) << row;
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.TaskAt(7)->Received.toInt() > 0; }, 5000));
    control<QPushButton>(*window, u"Command31"_s)->click();
    EXPECT_EQ(list.TaskAt(7)->State, TaskState::Failed);
    EXPECT_FALSE(control<QLabel>(*window, u"Shape1"_s)->isVisible());
    window->engine().scheduler().HousekeepingTick();
    EXPECT_EQ(window->findChild<QLabel*>(u"StatusBar1Panel4"_s)->text(), u"总数:7 正在下载:0 等待:0 已完成:6 失败:1"_s);
    EXPECT_EQ(QDir(temp.path()).entryList({u"*.part"_s}, QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(DownloadWindowTest, PictureOfTheWindowWithTasksInEachState)
{
    ASSERT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        << "a font for Chinese is installed by tools/setup";
    auto window = open();
    const struct {
        const char* Name;
        TaskState State;
        qint64 Received;
        qint64 Size;
        QString Progress;
    } rows[] = {
        {"Total Synthesis of Vinigrol", TaskState::Completed, 812345, 812345, {}},
        {"Catalytic Asymmetric Hydrogenation of Imines", TaskState::Downloading, 512000, 1384000, {}},
        {"Metal-Organic Frameworks for Carbon Capture", TaskState::Downloading, 90000, 2400000, {}},
        {"A Very Large Supporting Information File", TaskState::Completed, 0, 23068672, u"大文件，跳过"_s},
        {"Sign-in page instead of the paper", TaskState::Completed, 5120, 5120, {}},
        {"Cut short by the server", TaskState::Failed, 30000, 96000, {}},
        {"Waiting for a free slot", TaskState::Waiting, -1, -1, {}},
    };
    for (const auto& r : rows) {
        const int p = addTask(*window, QString::fromUtf8(r.Name), r.State);
        DownloadTask& task = *window->engine().list().TaskAt(p);
        if (r.Size >= 0)
            SetTaskBytes(task, std::min(r.Received, r.Size), r.Size);
        if (!r.Progress.isEmpty())
            SetTaskOutcome(task, TaskOutcome::TooLarge);
        else if (r.State == TaskState::Completed)
            SetTaskOutcome(task, TaskOutcome::Completed);
        else if (r.State == TaskState::Failed)
            SetTaskOutcome(task, TaskOutcome::Failed);
    }
    window->engine().list().TaskAt(5)->Type = u"htm"_s;
    window->engine().model().tasksChanged(1, 7);
    window->engine().scheduler().HousekeepingTick();
    window->resize(1280, 520);
    window->show();
    QTest::qWait(50);
    savePicture(*window, u"ffiledownload"_s);
}

TEST_F(DownloadWindowTest, ACheckThatNeedsThePersonIsShownInTheBrowserPanelWhileTheTaskWaits)
{
    TestHttpServer server;
    ASSERT_TRUE(server.listen());
    server.route("/cdn-cgi/challenge-platform/check.js",
                 Route{.Body = Fixture(u"botcheck/check.js"_s), .ContentType = "application/javascript"});
    const QByteArray pdf = PdfBody(50 * 1024, 3);
    Route paper{.Body = pdf};
    paper.BotCheckPage = Fixture(u"botcheck/interactive.html"_s);
    server.route("/window/paper.pdf", paper);
    values.DownloadMethod = 3;
    auto window = open();
    window->browserTransfers().setTiming({.UserCheckAfterMs = 200});
    window->show();
    DownloadTableModel& model = window->engine().model();
    model.AddTask(server.url(u"/window/paper.pdf"_s), u"paper"_s, u"pdf"_s, temp.path() + u'/', {});
    const DownloadTask& task = *model.list().TaskAt(1);
    auto* panel = window->findChild<QWidget*>(u"PicWebBK"_s);
    auto* web = window->findChild<QWebEngineView*>(u"Web1"_s);
    auto* state = window->findChild<QLabel*>(u"StatusBar1Panel3"_s);
    ASSERT_NE(state, nullptr);
    QWebEnginePage* loginPage = web->page();
    window->engine().scheduler().StartDownloads();

    ASSERT_TRUE(WaitUntil([&] { return panel->isVisible(); }, 20000));
    EXPECT_NE(web->page(), loginPage);
    EXPECT_EQ(state->text(), u"网页验证：请在下方网页中完成验证，下载随后继续"_s);
    EXPECT_EQ(task.State, TaskState::Downloading);

    // The person passes the check in the panel; the download goes on.
    auto* shown = qobject_cast<BrowserPage*>(web->page());
    ASSERT_NE(shown, nullptr);
    RunInPage(*shown, u"document.getElementById('verify').click(); true"_s);
    ASSERT_TRUE(WaitUntil([&] { return task.State == TaskState::Completed; }, 20000));
    QFile file(TaskFilePath(task));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), pdf);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(web->page(), loginPage);
    EXPECT_TRUE(state->text().isEmpty());
}

} // namespace
