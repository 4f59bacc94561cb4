#pragma once

#include <QList>
#include <QString>

class DownloadTableModel;

// Why a pasted line is no address a task can fetch; empty when it is one.
QString AddressProblem(const QString& line);

// A pasted line that did not become a task.
struct RejectedAddress {
    int LineNumber = 0; // 1-based, in the pasted text
    QString Text;
    QString Reason;
};

struct AddressListOutcome {
    int Added = 0;
    int Duplicates = 0; // already listed, or pasted more than once
    QList<RejectedAddress> Rejected;

    // The rejected lines, one a line, to correct and add again.
    QString rejectedText() const;
    // "第3行：ftp://x — 只支持 http 和 https 网址", one a line.
    QString rejectedReport() const;
    // "加入 2 个任务，重复 1 个，无效 1 行。"
    QString summary() const;
};

// Turns pasted addresses, one a line, into waiting tasks saved to one folder.
// Blank lines are passed over; every other line is added, counted as a
// duplicate or handed back with its reason, so no valid line is lost.
class AddressListController final {
public:
    AddressListController(DownloadTableModel& model, QString folder);

    // All new tasks reach views as one change.
    AddressListOutcome AddAddresses(const QString& text);

private:
    DownloadTableModel& m_model;
    QString m_folder;
};
