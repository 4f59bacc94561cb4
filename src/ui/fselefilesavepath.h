#pragma once

#include "savefoldercontroller.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The save folder dialog: the folder new tasks are saved to and how their
// files are named. Stays above other windows while open. The results are the
// program-wide SaveFolder, SaveFolderCancelled and naming choice; closing
// it by its close box leaves them as they were.
class fSeleFileSavePath final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fSeleFileSavePath)

public:
    fSeleFileSavePath(ProgramValues& values, AppSettings& settings, UserPrompts& prompts, const QString& historyFile,
                      QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    QLabel* Label1;
    QComboBox* Combo1;
    QPushButton* Command1;
    QLabel* Label3;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3; // "自定义：" with the pattern in Text1
    QLineEdit* Text1;
    QPushButton* Command2;
    QPushButton* Command3;

    SaveFolderController m_controller;
};
