#pragma once

#include "optionscontroller.h"

#include <QDialog>

class AppSettings;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class UserPrompts;
struct ProgramValues;

// The options dialog "设置": download method, proxy, when the save folder is
// asked for, and the size limit.
class fOption final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fOption)

public:
    fOption(ProgramValues& values, AppSettings& settings, UserPrompts& prompts, QWidget* parent = nullptr);

private:
    void buildControls();
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    QLabel* Label1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QCheckBox* Check3;
    QCheckBox* Check1;
    QLabel* Label14;
    QLineEdit* Text6;
    QLabel* Label6;
    QLabel* Label15;
    QLineEdit* Text8;
    QLabel* Label10;
    QCheckBox* Check2;
    QCheckBox* Check4; // a citation file beside each completed paper
    QLabel* Label2;
    QLineEdit* Text1;
    QLabel* Label3;  // "同一网站两次开始的间隔(秒)"
    QLineEdit* Text2;
    QLabel* Label4;  // "每小时最多下载篇数(0为不限)"
    QLineEdit* Text3;
    QPushButton* Command1;
    QPushButton* Command2;

    OptionsController m_controller;
};
