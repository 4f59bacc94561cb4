#pragma once

#include "search/analysiscontroller.h"
#include "search/analysislist.h"
#include "search/analysistablemodel.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class AppSettings;
class BrowserProfile;
class ListSaver;
class DownloadTableModel;
class DownloadWindowHost;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTableView;
class SaveFolderPrompt;
class Shell;
class StartupCover;
class UserPrompts;
class WebBrowserView;
struct ProgramValues;

// The site's home page, where the search window starts.
inline const QString kSiteHomePage = QStringLiteral("https://pubs.acs.org/");

// "ACS数据检索分析": the site in a browser above, the articles read from its
// result pages below. A view over the AnalysisController; the browser pane
// comes from the browser layer.
class fWebSearch final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fWebSearch)

public:
    struct Services {
        ProgramValues& Values;
        AppSettings& Settings;
        UserPrompts& Prompts;
        Shell& Desktop;
        BrowserProfile& Browser;
        SaveFolderPrompt& SaveFolder;
        DownloadTableModel& DownloadTasks; // the engine's list, where records are handed
        DownloadWindowHost& Downloads;
        // Confirmed options; the values are assigned directly when not given.
        std::function<void(const ProgramValues&)> ApplyOptions{};
        QString HomePage = kSiteHomePage;
        AnalysisController::Timing Timing{};
        QString ListFile{}; // where the list is kept between runs; empty: not kept
    };

    explicit fWebSearch(Services services, QWidget* parent = nullptr);
    ~fWebSearch() override;

    void setCover(StartupCover* cover) { m_cover = cover; }
    // "工具 ▸ 查看/清空IE浏览器缓存": offered once the window is given them.
    void setCacheCommands(std::function<void()> viewCache, std::function<void()> clearCache);

    AnalysisController& controller() { return *m_controller; }
    WebBrowserView& browser() { return *WebBrowser1; }

    void OpenHomePage();
    void OpenAddress();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    QWidget* buildListPane();
    void buildMenus();
    void bindController();
    void Form_Load();
    void restoreList();
    void layoutPanes();
    void showAddAllButton();
    void showProgress();
    void openOptions();
    void showAbout();

    Services m_services;
    AnalysisList m_list;
    AnalysisTableModel m_model;
    StartupCover* m_cover = nullptr;
    bool m_panesPlaced = false;
    std::function<void()> m_viewCache;
    std::function<void()> m_clearCache;

    // The controls, under their given names (also their objectName).
    QSplitter* PicBar = nullptr;
    QWidget* PicPanWeb = nullptr;
    WebBrowserView* WebBrowser1 = nullptr;
    QWidget* PicPanList = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr; // entries left out as hidden
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QTableView* ListView1 = nullptr;
    QWidget* PicPanPrograss = nullptr;
    QLabel* Label11 = nullptr;
    QPushButton* Command5 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel2 = nullptr;

    QMenu* m_analyseMenu = nullptr;
    QMenu* m_clearMenu = nullptr;
    QAction* m_viewCacheAction = nullptr;
    QAction* m_clearCacheAction = nullptr;

    // Built last: it drives the controls above.
    std::unique_ptr<AnalysisController> m_controller;
    // After the list it saves: it saves once more when the window goes.
    std::unique_ptr<ListSaver> m_listSaver;
};
