#pragma once

#include "urlreplacecontroller.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "网址批量替换": one text replaced by another in every task's addresses.
class UrlReplace final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UrlReplace)

public:
    UrlReplace(DownloadTableModel& model, const DownloadActivity& activity, UserPrompts& prompts,
               QWidget* parent = nullptr);

private:
    void Command1_Click();
    void Command2_Click();

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* Command1;
    QPushButton* Command2;

    UrlReplaceController m_controller;
};
