#pragma once

#include "copyfilescontroller.h"

#include <QDialog>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

// "复制文件...": copies the files it is given into one folder, each by the
// chosen rule for a name already taken there. Closing it stops a run.
class Form_Copy_Move final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form_Copy_Move)

public:
    Form_Copy_Move(AppSettings& settings, UserPrompts& prompts, const QString& historyFile, QWidget* parent = nullptr);

    // Fills SourceFiles and sets the caption to the number of files.
    void setSourceFiles(QList<CopySource> sources);
    CopyFilesController& controller() { return m_controller; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Command1_Click();
    void Command3_Click();

    QLabel* Label1;
    QComboBox* Combo1;
    QPushButton* Command3;
    QGroupBox* Frame1;
    std::array<QRadioButton*, 5> Option1{}; // Option1(1) .. Option1(5)
    QLabel* Label2;
    QProgressBar* ProgressBar1;
    QLabel* Label4;
    QLabel* Label3;
    QPushButton* Command1;
    QPushButton* Command2;

    CopyFilesController m_controller;
};
