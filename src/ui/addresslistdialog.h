#pragma once

#include "addresslistcontroller.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class UserPrompts;

// "粘贴网址": addresses pasted one a line become waiting tasks for a folder.
// Lines that are no address stay in the box with the reasons listed below it,
// so the user can correct them and add again; when every line went in the
// dialog closes and says how many were added.
class AddressListDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddressListDialog)

public:
    AddressListDialog(DownloadTableModel& model, const QString& folder, UserPrompts& prompts,
                      QWidget* parent = nullptr);

private:
    void Command1_Click();

    QLabel* Label1;
    QPlainTextEdit* Text1;
    QLabel* Label2;
    QPlainTextEdit* Text2;
    QLabel* Label3;
    QPushButton* Command1;
    QPushButton* Command2;

    AddressListController m_controller;
    UserPrompts& m_prompts;
};
