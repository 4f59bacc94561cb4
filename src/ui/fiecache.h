#pragma once

#include "core/cacheviewer.h"

#include <QDialog>

class AppSettings;
class QLabel;
class QPushButton;
class QTableView;
class UserPrompts;

// "IE浏览器Cookie 缓存和历史列表": what the program's browser keeps on disk,
// every user's cache files, and copying and deleting them. Opens with empty
// lists; nothing is listed until a command is pressed.
class fIEcache final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fIEcache)

public:
    struct Services {
        BrowserCache& Cache;
        CacheViewer::Homes Homes;
        AppSettings& Settings;
        UserPrompts& Prompts;
        QString FolderHistoryFile;
    };

    explicit fIEcache(Services services, QWidget* parent = nullptr);
    ~fIEcache() override;

    CacheViewer& viewer() { return m_viewer; }

private:
    void buildControls();
    void Command6_Click();
    void Command2_Click();
    QList<int> selectedRows() const;
    void fitColumns();

    Services m_services;
    CacheViewer m_viewer;

    QPushButton* Command1;
    QPushButton* Command7;
    QPushButton* Command6;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QTableView* ListView1;
    QTableView* ListView2;
    QTableView* ListView3;
    QLabel* Label1;
};
