#pragma once

#include "extraction.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class AnalysisTableModel;
class DownloadTableModel;
class DownloadWindowHost;
class SaveFolderPrompt;
class SearchBrowser;
class UserPrompts;
struct ProgramValues;

// The search window's logic: adding result pages to the analysis list (one
// page, or all pages by following "next"), handing records to the download
// list, and clearing rows. Long runs are state machines on timers and browser
// signals, so the window stays responsive and stop buttons work mid-run.
class AnalysisController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AnalysisController)

public:
    struct Timing {
        int PageTimeoutMs = 30000; // the next page must finish loading within this
        int SettleMs = 2000;       // then its scripts get this long
        int PollMs = 50;           // how often a wait looks again
        int RowsPerTurn = 50;      // analysed rows between two looks at the stop button
    };

    enum class Analyse { Unanalysed, Failed, Selected, All };

    AnalysisController(AnalysisTableModel& model, SearchBrowser& browser, ProgramValues& values,
                       SaveFolderPrompt& saveFolder, DownloadTableModel& tasks, DownloadWindowHost& downloads,
                       UserPrompts& prompts, QObject* parent = nullptr);
    AnalysisController(AnalysisTableModel& model, SearchBrowser& browser, ProgramValues& values,
                       SaveFolderPrompt& saveFolder, DownloadTableModel& tasks, DownloadWindowHost& downloads,
                       UserPrompts& prompts, Timing timing, QObject* parent = nullptr);

    // "只提取网页勾选项", read for every extraction.
    void setOnlyChecked(bool on) { m_onlyChecked = on; }

    void AddCurrentPage();
    // Starts the all-pages run, or asks a running one to stop.
    void AddAllPages();
    void AnalyseCommand();
    void runAnalysis(Analyse which);
    void AnalyseUnanalysed() { runAnalysis(Analyse::Unanalysed); }
    void AnalyseFailed() { runAnalysis(Analyse::Failed); }
    void AnalyseSelected() { runAnalysis(Analyse::Selected); }
    void AnalyseAll() { runAnalysis(Analyse::All); }
    // The progress panel's "停止".
    void StopAnalysis() { m_analysisIdle = true; }

    void ClearSelected();
    void ClearSucceeded();
    void ClearTitleContaining();
    void ClearTitleNotContaining();
    void ClearAll();

    // The window is closing: running loops end.
    void windowClosing();

    bool PageLoading() const { return m_pageLoading; }
    bool StopAddAll() const { return m_stopAddAll; }
    bool AnalysisIdle() const { return m_analysisIdle; }
    bool addAllRunning() const { return m_addAllRunning; }
    QString addAllCaption() const;
    bool progressPanelVisible() const { return m_panelVisible; }
    QString progressText() const { return m_progressText; }
    QString rowCountText() const;
    // Beside the count: how many entries of the last addition were left out
    // because a reader could not see them; "" when none were.
    QString hiddenEntriesText() const;

signals:
    void addAllButtonChanged();    // caption and colour: addAllCaption(), addAllRunning() (red)
    void progressPanelChanged();   // progressPanelVisible(), progressText()
    void rowCountChanged(const QString& text);
    void hiddenEntriesChanged(const QString& text);
    void analyseMenuRequested();   // pop up the analysis menu at the mouse
    void analyseButtonEnabled(bool enabled);
    void columnsNeedSizing();
    void addAllFinished();
    void analysisFinished();

private:
    enum class Wait { None, PageLoad, Settle };

    ExtractionOptions extractionOptions();
    void extractPage(const DomSnapshot& page);
    void nextPageStep();
    void pageRead(const DomSnapshot& page);
    void poll();
    void finishAddAll();
    void analyseRows();
    void finishAnalysis();
    template <typename Picks>
    void clearWhere(Picks picks);
    bool refuseWhileAnalysing();
    void setPanel(bool visible, const QString& text);

    AnalysisTableModel& m_model;
    SearchBrowser& m_browser;
    ProgramValues& m_values;
    SaveFolderPrompt& m_saveFolder;
    DownloadTableModel& m_tasks;
    DownloadWindowHost& m_downloads;
    UserPrompts& m_prompts;
    Timing m_timing;

    bool m_onlyChecked = false;
    int m_hiddenLeftOut = 0; // counted through the extraction options
    bool m_pageLoading = false;
    bool m_stopAddAll = false;
    bool m_analysisIdle = true;
    bool m_addAllRunning = false;
    bool m_panelVisible = false;
    QString m_progressText;

    Wait m_wait = Wait::None;
    QElapsedTimer m_waitClock;
    QTimer m_pollTimer;

    Analyse m_analysing = Analyse::All;
    int m_nextRow = 0;
    int m_rowsAtStart = 0;
};
