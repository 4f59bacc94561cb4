#pragma once

#include "startupcover.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class NewVersionCheck;
class QLabel;
class QPushButton;
class Shell;

// The program's first window and its only way in: the cover picture, the
// version, and the two ways on: "资料检索下载" and "退出软件". It hides while
// a main window is open and comes back when the last one closes; closing it
// ends the program.
class fCover final : public QWidget, public StartupCover {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fCover)

public:
    struct Actions {
        std::function<void()> OpenSearchWindow; // creates it once, shows it
        std::function<void()> EndProgram;       // every window closed, the process ends
    };

    fCover(NewVersionCheck& versionCheck, Shell& desktop, Actions actions, QWidget* parent = nullptr);

    void showCover() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Command3_Click();
    void Timer1_Timer();

    NewVersionCheck& m_versionCheck;
    Shell& m_desktop;
    Actions m_actions;
    bool m_ending = false;

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;
    QPushButton* Command3;
    QTimer Timer1;
};
