#pragma once

#include <QString>

class DownloadTableModel;
struct AnalysisRecord;
struct ProgramValues;

// The download window as the search window sees it: something to show. The
// list it shows is the program's engine's, reached without it.
class DownloadWindowHost {
public:
    virtual ~DownloadWindowHost() = default;

    // Loads, refreshes and shows the window; a minimised one comes back maximised.
    virtual void ShowDownloadWindow() = 0;
};

// Makes the record a waiting download task: named after the title (or the
// address's file name), saved in the record's folder or the save folder. An
// address already in the download list changes nothing there.
void HandOffRecord(const AnalysisRecord& record, const ProgramValues& values, DownloadTableModel& tasks);
