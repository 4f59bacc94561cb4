#pragma once

#include <QString>

class AnalysisList;
class DownloadTableModel;
class UserPrompts;
struct AnalysisRecord;
struct ProgramValues;

// The download window as the search window sees it.
class DownloadWindowHost {
public:
    virtual ~DownloadWindowHost() = default;

    // The download list; the window is loaded (not shown) when it was not.
    virtual DownloadTableModel& downloadTasks() = 0;
    // Loads, refreshes and shows the window; a minimised one comes back maximised.
    virtual void ShowDownloadWindow() = 0;
};

// Makes the record a waiting download task: named after the title (or the
// address's file name), saved in the record's folder or the save folder. An
// address already in the download list changes nothing there. Always true.
bool HandOffRecord(const AnalysisRecord& record, const ProgramValues& values, DownloadWindowHost& host);

// The export's file types: the text lines, RIS, BibTeX.
inline const QString kAnalysisExportFilter = QStringLiteral("*.txt|*.txt|*.ris|*.ris|*.bib|*.bib");

// "Title-【type】state" lines in the 8-bit text form with CR LF, to a file the
// user picks, or, for a ".ris" or ".bib" file, the records' citations in that
// form (UTF-8); reports the file's size when done. A failed write leaves any
// earlier file whole and says nothing.
void ExportAnalysisList(const AnalysisList& list, UserPrompts& prompts);

// A size in kilobytes as "#,##0.0" shows it: "1.5", "2,048.0".
QString FormatKilobytes(double kilobytes);
