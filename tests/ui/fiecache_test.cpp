#include "dialogfixture.h"

#include "core/browsercache.h"
#include "support/cacheentrywriter.h"
#include "support/recordingshell.h"
#include "ui/browsercachetools.h"
#include "ui/browser/browsertesting.h"
#include "downloadenginerig.h"
#include "ui/ffiledownload.h"
#include "ui/fiecache.h"
#include "ui/formcopymove.h"

#include "downloads/engine/soundclips.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct CacheWindow : DialogFixture {
    CacheWindow()
        : folder(temp.makeFolder(u"home/me/.cache/Paperpull/browser/Cache/Cache_Data"_s))
        , cache(folder)
        , homes{{temp.filePath(u"home"_s)}, {}, temp.filePath(u"home/me"_s)}
    {
    }

    fIEcache::Services services() { return {cache, homes, settings, prompts, temp.filePath(u"SaveList.dat"_s)}; }

    QString entry(int n, const QByteArray& url, qint64 size)
    {
        return WriteCacheEntry(folder, CacheEntryName(static_cast<quint64>(n)), {"1/0/" + url, QByteArray(size, 'b')});
    }

    static QStringList column(QTableView* view, int column)
    {
        QStringList texts;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            texts.append(view->model()->index(row, column).data().toString());
        return texts;
    }

    QString folder;
    BrowserCache cache;
    CacheViewer::Homes homes;
};

TEST(CacheViewerWindow, ListsSortsAndDeletesThroughItsControls)
{
    CacheWindow f;
    f.entry(1, "http://h/a.pdf", 1000);
    const QString second = f.entry(2, "http://h/b.pdf", 900);
    f.entry(3, "http://h/c.html", 50);
    fIEcache window(f.services());
    window.show();
    EXPECT_EQ(window.windowTitle(), u"IE浏览器Cookie 缓存和历史列表"_s);
    const QStringList captions = {u"查看我的缓存"_s, u"查看所有用户缓存"_s, u"复制选中..."_s, u"删除所选文件"_s, u"全部删除"_s, u"关闭"_s};
    const QStringList names = {u"Command1"_s, u"Command7"_s, u"Command6"_s, u"Command2"_s, u"Command3"_s, u"Command4"_s};
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(control<QPushButton>(window, names[i])->text(), captions[i]);
    auto* list = control<QTableView>(window, u"ListView1"_s);
    auto* label = control<QLabel>(window, u"Label1"_s);
    EXPECT_EQ(label->text(), u"000"_s);
    EXPECT_EQ(list->model()->rowCount(), 0) << "nothing is listed before a command";
    QStringList headers;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        headers.append(list->model()->headerData(c, Qt::Horizontal).toString());
    EXPECT_EQ(headers, QStringList({u"URL"_s, u"TYPE"_s, u"SIZE(Byte)"_s, u"FilePath"_s}));
    EXPECT_EQ(control<QTableView>(window, u"ListView2"_s)->model()->headerData(0, Qt::Horizontal).toString(), u"用户名"_s);
    EXPECT_EQ(control<QTableView>(window, u"ListView3"_s)->model()->headerData(0, Qt::Horizontal).toString(), u"文件夹"_s);

    click(window, u"Command1"_s);
    EXPECT_EQ(label->text(), u"共有3 个文件"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.viewer().sizesPending(); }, 5000));
    EXPECT_FALSE(list->model()->flags(list->model()->index(0, 0)).testFlag(Qt::ItemIsEditable));

    // Two clicks on the size header: largest first, then smallest first, as numbers.
    QTest::mouseClick(list->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(list->horizontalHeader()->sectionViewportPosition(2) + 5, 5));
    EXPECT_EQ(CacheWindow::column(list, 2), QStringList({u"1000"_s, u"900"_s, u"50"_s}));
    EXPECT_EQ(list->horizontalHeader()->sortIndicatorSection(), 2);
    EXPECT_EQ(list->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    list->horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(CacheWindow::column(list, 2), QStringList({u"50"_s, u"900"_s, u"1000"_s}));

    list->selectRow(1); // b.pdf, 900
    click(window, u"Command2"_s);
    EXPECT_FALSE(QFile::exists(second));
    EXPECT_EQ(label->text(), u"共有2 个文件"_s);
    EXPECT_EQ(CacheWindow::column(list, 0), QStringList({u"http://h/a.pdf"_s, u"http://h/c.html"_s}));
}

TEST(CacheViewerWindow, CopyOpensTheCopyDialogWithTheSelectedFiles)
{
    CacheWindow f;
    f.entry(1, "http://h/doi/a.pdf", 10);
    f.entry(2, "http://h/doi/b.pdf", 10);
    f.entry(3, "http://h/doi/c.pdf", 10);
    fIEcache window(f.services());
    window.show();
    click(window, u"Command1"_s);
    auto* list = control<QTableView>(window, u"ListView1"_s);
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    QString caption;
    QStringList names;
    QTimer::singleShot(0, &window, [&] {
        auto* dialog = qobject_cast<Form_Copy_Move*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        caption = dialog->windowTitle();
        for (const CopySource& source : dialog->controller().SourceFiles)
            names.append(source.Name);
        dialog->reject();
    });
    click(window, u"Command6"_s);
    EXPECT_EQ(caption, u"复制文件：2 个文件..."_s);
    EXPECT_EQ(names, QStringList({u"a.pdf"_s, u"c.pdf"_s}));
}

struct Silence final : SoundPlayer {
    void PlayNotifySound(int) override {}
};

TEST(ClearBrowserCache, ClearsWithOrWithoutItsMessageAndFromTheDownloadWindow)
{
    CacheWindow f;
    BrowserCacheTools tools({f.cache, f.homes, f.settings, f.prompts, f.temp.filePath(u"SaveList.dat"_s)});
    const QString a = f.entry(1, "http://h/a.pdf", 10);
    tools.ClearBrowserCache(false);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_TRUE(f.prompts.shown.isEmpty());

    const QString b = f.entry(2, "http://h/b.pdf", 10);
    RecordingShell shell;
    Silence sounds;
    DownloadEngineRig rig(f.values, f.prompts, shell, sounds);
    fFileDownload window({f.values, f.settings, f.prompts, shell, sounds, f.temp.filePath(u"SaveList.dat"_s),
                          SharedProfile(), rig.engine, rig.browser.transfers(), rig.browser.retries()});
    QAction* entry = nullptr;
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text() == u"工具(&T)"_s)
            for (QAction* action : menu->menu()->actions())
                if (action->text() == u"清空IE浏览器缓存"_s)
                    entry = action;
    }
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->isEnabled());
    window.setCacheTools(&tools);
    ASSERT_TRUE(entry->isEnabled());
    entry->trigger();
    EXPECT_FALSE(QFile::exists(b));
    EXPECT_EQ(f.prompts.messages(), QStringList({u"IE缓存清空完毕！"_s}));
    EXPECT_EQ(f.prompts.shown[0].Icon, MessageIcon::Information);
}

} // namespace
