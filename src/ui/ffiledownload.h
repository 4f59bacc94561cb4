#pragma once

#include "downloads/engine/downloadscontroller.h"
#include "downloads/engine/downloadwindowcontroller.h"
#include "search/logincontroller.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class AppSettings;
class BrowserPage;
class BrowserProfile;
class BrowserCacheTools;
class BrowserTransferFactory;
class QWebEnginePage;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTableView;
class Shell;
class SoundPlayer;
class StartupCover;
class TaskIconsProxy;
class UserPrompts;
class QWebEngineView;
class WebLoginBrowser;
struct ProgramValues;

// "文件下载": the download list and the controls that drive its downloads.
// A view over the window's engine (DownloadsController) and its rules
// (DownloadWindowController); every command runs there.
class fFileDownload final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fFileDownload)

public:
    struct Services {
        ProgramValues& Values;
        AppSettings& Settings;
        UserPrompts& Prompts;
        Shell& Desktop;
        SoundPlayer& Sounds;
        QString FolderHistoryFile; // the save folder dialog's history
        BrowserProfile& Browser;   // the sign-in browser's profile
        DownloadsController& Engine;                // the program's, which outlives the window
        BrowserTransferFactory& BrowserTransfers;   // method 3's transfers
        BrowserTransferFactory& BrowserRetries;     // the fallback of methods 1 and 2
        LoginTiming LoginTimes{};
    };

    explicit fFileDownload(Services services, QWidget* parent = nullptr);
    ~fFileDownload() override;

    DownloadsController& engine() { return m_engine; }
    LoginController& login() { return *m_login; }
    // Method 3's transfers (their timing is the tests' to shorten).
    BrowserTransferFactory& browserTransfers() { return m_services.BrowserTransfers; }
    void setCover(StartupCover* cover) { m_cover = cover; }
    // "窗口 ▸ 资料检索分析窗口": offered once the window is given a way to open it.
    void setSearchWindowOpener(std::function<void()> open);
    // The browser cache commands; the menu entry "清空IE浏览器缓存" works once given.
    void setCacheTools(BrowserCacheTools* tools);

    // Shows the window where it was last closed, maximised on a first start
    // or another screen.
    void showAsPlaced();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildTopPanel();
    void buildStatusBar();
    void buildMenus();
    QAction* addCommand(QMenu* menu, const QString& caption, void (fFileDownload::*slot)());
    void bindEngine();
    void buildLoginPanel(QWidget* central);
    void bindLoginPanel();
    void Command1_Click();
    void Command3_Click();
    void Check2_Click(bool ticked);
    void Web1_TitleChange(const QString& title);
    void bindBrowserTransfers();
    // A browser transfer's page shows a check only the user can pass: Web1
    // shows it (one at a time) and status panel 3 says so.
    void showUserCheck(QWebEnginePage* page);
    void userCheckOver(QWebEnginePage* page);

    void Form_Load();
    bool Form_Unload();
    void ListView3_MouseDown(const QPoint& position);
    void ListView3_ColumnClick(int column);
    void ListView3_ItemClick(const QModelIndex& index);
    void ListView3_DblClick(const QModelIndex& index);
    void StatusBar1_PanelClick(int panel);

    void showMethod();
    void showSwitches();
    void syncSelectionFromTasks();
    void takeViewSelection();
    void applyMenuStates(const ListMenuStates& states);

    // Menu commands that need more than one call.
    void selectAll();
    void selectNone();
    void shuffle();
    void autoSizeColumns();
    void redownloadSmall();
    void openOptions();
    void openUrlReplace();
    void addAddresses();
    void toggleAutoLocate();
    void showAbout();
    void sendSuggestion();

    Services m_services;
    QList<QPointer<QWebEnginePage>> m_userChecks; // waiting for the user, shown first
    DownloadsController& m_engine;
    DownloadWindowController m_rules;
    StartupCover* m_cover = nullptr;
    BrowserPage* m_loginPage = nullptr; // Web1's page, owned by Web1
    std::unique_ptr<WebLoginBrowser> m_loginBrowser;
    std::unique_ptr<LoginController> m_login;
    BrowserCacheTools* m_cacheTools = nullptr;
    bool m_syncingSelection = false;

    // The controls, under their given names (also their objectName).
    QWidget* Picture3 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Command26 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label5 = nullptr; // its caption has a blank Combo2 fills
    QComboBox* Combo2 = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* Label8 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QCheckBox* Check3 = nullptr;
    QComboBox* Combo4 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QCheckBox* Check6 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command31 = nullptr;
    QLabel* Shape1 = nullptr;
    QPushButton* Command1 = nullptr;
    QTableView* ListView3 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 4> StatusPanels{};

    // The login panel, laid over the list when shown.
    QWidget* PicWebBK = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command3 = nullptr;
    QRadioButton* Option4 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Text3 = nullptr;
    QRadioButton* Option5 = nullptr;
    QLabel* Label11 = nullptr;
    QComboBox* Combo3 = nullptr;
    QPushButton* Command5 = nullptr;
    QCheckBox* Check2 = nullptr;
    QWebEngineView* Web1 = nullptr;

    std::unique_ptr<TaskIconsProxy> m_view;
    QMenu* m_listMenu = nullptr;
    QAction* m_clearMenu = nullptr;
    QAction* m_clearAll = nullptr;
    QAction* m_start = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_selectAll = nullptr;
    QAction* m_autoLocate = nullptr;
    QAction* m_searchWindow = nullptr;
    std::function<void()> m_openSearchWindow;
    QAction* m_clearBrowserCache = nullptr;

};
