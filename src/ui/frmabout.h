#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "关于": the program's name, version and licence, the system it runs on, and
// the components it is built with and their licences.
class frmAbout final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(QWidget* parent = nullptr);

    // The text the box shows, for the record.
    static QString aboutText();

private:
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QPushButton* cmdOK;
};
