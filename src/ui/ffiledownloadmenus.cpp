// The download window's menus and the commands behind their entries.

#include "addresslistdialog.h"
#include "browsercachetools.h"
#include "ffiledownload.h"
#include "foption.h"
#include "frmabout.h"
#include "savefolderdialogprompt.h"
#include "urlreplace.h"

#include "core/programvalues.h"
#include "core/userprompts.h"
#include "ui/platform/columnfit.h"
#include "ui/platform/suggestionmail.h"

#include <QMenuBar>
#include <QTableView>

using namespace Qt::Literals::StringLiterals;

QAction* fFileDownload::addCommand(QMenu* menu, const QString& caption, void (fFileDownload::*slot)())
{
    QAction* action = menu->addAction(caption);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void fFileDownload::buildMenus()
{
    DownloadListCommands& commands = m_engine.commands();
    DownloadScheduler& scheduler = m_engine.scheduler();
    const auto run = [this](QMenu* menu, const QString& caption, auto&& command) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, command);
        return action;
    };

    // The list menu is also the list's right-click menu: one menu, so the
    // states a right-click sets show in the menu bar as well.
    m_listMenu = menuBar()->addMenu(u"列表操作(&D)"_s);
    m_listMenu->setObjectName(u"mnuList"_s);
    m_selectAll = addCommand(m_listMenu, u"全选"_s, &fFileDownload::selectAll);
    addCommand(m_listMenu, u"全不选"_s, &fFileDownload::selectNone);
    addCommand(m_listMenu, u"随机排序列表(打乱)"_s, &fFileDownload::shuffle);
    addCommand(m_listMenu, u"自动调整列宽"_s, &fFileDownload::autoSizeColumns);
    m_listMenu->addSeparator();
    QMenu* redownload = m_listMenu->addMenu(u"重新下载"_s);
    run(redownload, u"选中项"_s, [&commands] { commands.RedownloadSelectedTasks(); });
    run(redownload, u"出错项"_s, [&commands] { commands.RedownloadFailedTasks(); });
    run(redownload, u"网页类型文件(HTM/HTML/xml)项"_s, [&commands] { commands.RedownloadWebPageTasks(); });
    run(redownload, u"重新下载出错项和网页类型文件项"_s, [&commands] { commands.RedownloadFailedAndWebPageTasks(); });
    addCommand(redownload, u"文件大小小于指定数字的项"_s, &fFileDownload::redownloadSmall);
    m_listMenu->addSeparator();
    QMenu* clear = m_listMenu->addMenu(u"清除"_s);
    m_clearMenu = clear->menuAction();
    run(clear, u"选中项"_s, [&commands] { commands.ClearSelectedTasks(); });
    run(clear, u"全部出错项"_s, [&commands] { commands.ClearFailedTasks(); });
    run(clear, u"完成项"_s, [&commands] { commands.ClearCompletedTasks(); });
    m_clearAll = run(m_listMenu, u"清空"_s, [&commands] { commands.ClearAllTasks(); });
    QMenu* deleteFiles = m_listMenu->addMenu(u"删除文件"_s);
    run(deleteFiles, u"网页类型文件(HTM/HTML/xml)项"_s, [&commands] { commands.DeleteWebPageFiles(); });
    run(deleteFiles, u"出错项"_s, [&commands] { commands.DeleteFailedFiles(); });
    m_listMenu->addSeparator();
    m_start = run(m_listMenu, u"开始下载"_s, [&scheduler] { scheduler.StartDownloads(); });
    m_stop = run(m_listMenu, u"停止下载"_s, [&scheduler] { scheduler.StopDownloads(); });
    m_stop->setEnabled(false);
    run(m_listMenu, u"取消下载选中项"_s, [&commands] { commands.CancelSelectedTasks(); });
    m_listMenu->addSeparator();
    run(m_listMenu, u"打开下载文件"_s, [&commands] { commands.OpenTaskFile(); });
    run(m_listMenu, u"打开所在文件夹"_s, [&commands] { commands.OpenTaskFolder(); });
    run(m_listMenu, u"用记事本打开文件"_s, [&commands] { commands.OpenTaskInNotepad(); });
    m_listMenu->addSeparator();
    run(m_listMenu, u"复制名称"_s, [&commands] { commands.CopyTaskName(); });
    addCommand(m_listMenu, u"批量替换网址"_s, &fFileDownload::openUrlReplace);
    QAction* openAddress = m_listMenu->addAction(u"打开网址"_s);
    openAddress->setVisible(false);
    openAddress->setEnabled(false);
    addCommand(m_listMenu, u"添加下载地址..."_s, &fFileDownload::addAddresses);
    QMenu* exportNames = m_listMenu->addMenu(u"导出名称"_s);
    run(exportNames, u"全部"_s, [&commands] { commands.ExportTaskNames(false); });
    run(exportNames, u"未完成项"_s, [&commands] { commands.ExportTaskNames(true); });
    m_listMenu->addSeparator();
    run(m_listMenu, u"关闭本下载窗口"_s, [this] { close(); });
    connect(&scheduler, &DownloadScheduler::startMenuEnabledChanged, m_start, &QAction::setEnabled);

    QMenu* windows = menuBar()->addMenu(u"窗口(&W)"_s);
    m_searchWindow = run(windows, u"资料检索分析窗口"_s, [this] {
        if (m_openSearchWindow)
            m_openSearchWindow();
    });
    m_searchWindow->setEnabled(false);

    QMenu* tools = menuBar()->addMenu(u"工具(&T)"_s);
    addCommand(tools, u"设置"_s, &fFileDownload::openOptions);
    m_autoLocate = addCommand(tools, u"自动定位到下载项"_s, &fFileDownload::toggleAutoLocate);
    m_autoLocate->setCheckable(true);
    tools->addSeparator();
    run(tools, u"检查文件是否存在"_s, [&commands] { commands.MarkMissingFiles(); });
    run(tools, u"检查并纠正磁盘文件类型"_s, [&commands] { commands.CorrectDiskFileTypes(); });
    tools->addSeparator();
    // Usable once the window is given the cache tools (setCacheTools).
    m_clearBrowserCache = run(tools, u"清空IE浏览器缓存"_s, [this] {
        if (m_cacheTools != nullptr)
            m_cacheTools->ClearBrowserCache(true);
    });
    m_clearBrowserCache->setEnabled(m_cacheTools != nullptr);
    run(tools, u"打开文件判断类型"_s, [&commands] { commands.DetectChosenFileType(); });

    QMenu* help = menuBar()->addMenu(u"帮助(&H)"_s);
    addCommand(help, u"关于"_s, &fFileDownload::showAbout);
    addCommand(help, u"意见和建议"_s, &fFileDownload::sendSuggestion);
}

void fFileDownload::setCacheTools(BrowserCacheTools* tools)
{
    m_cacheTools = tools;
    m_clearBrowserCache->setEnabled(tools != nullptr);
}

void fFileDownload::selectAll()
{
    m_engine.commands().SelectAllTasks();
    syncSelectionFromTasks();
}

void fFileDownload::selectNone()
{
    m_engine.commands().SelectNoTasks();
    syncSelectionFromTasks();
}

void fFileDownload::shuffle()
{
    m_engine.ordering().ShuffleTasks();
}

void fFileDownload::autoSizeColumns()
{
    FitColumnsToContents(ListView3);
}

void fFileDownload::redownloadSmall()
{
    m_engine.commands().RedownloadSmallTasks();
}

void fFileDownload::openOptions()
{
    // Edited on a copy: the engine takes the confirmed values as a whole, so
    // a method switch reaches every part that depends on it.
    ProgramValues edited = m_services.Values;
    fOption dialog(edited, m_services.Settings, m_services.Prompts, this);
    if (dialog.exec() == QDialog::Accepted)
        m_engine.applyOptions(edited);
}

void fFileDownload::openUrlReplace()
{
    UrlReplace dialog(m_engine.model(), m_engine.scheduler(), m_services.Prompts, this);
    dialog.exec();
}

void fFileDownload::addAddresses()
{
    SaveFolderDialogPrompt folder(m_services.Values, m_services.Settings, m_services.Prompts,
                                  m_services.FolderHistoryFile, this);
    folder.showSaveFolderDialog();
    if (m_services.Values.SaveFolderCancelled)
        return;
    AddressListDialog dialog(m_engine.model(), m_services.Values.SaveFolder, m_services.Prompts, this);
    dialog.exec();
}

void fFileDownload::toggleAutoLocate()
{
    m_engine.scheduler().switches().AutoLocate = m_autoLocate->isChecked();
}

void fFileDownload::setSearchWindowOpener(std::function<void()> open)
{
    m_openSearchWindow = std::move(open);
    m_searchWindow->setEnabled(bool(m_openSearchWindow));
}

void fFileDownload::showAbout()
{
    frmAbout about(this);
    about.exec();
}

void fFileDownload::sendSuggestion()
{
    SendSuggestionMail(m_services.Desktop);
}
