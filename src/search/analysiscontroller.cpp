#include "analysiscontroller.h"

#include "analysistablemodel.h"
#include "handoff.h"
#include "searchbrowser.h"

#include "core/programvalues.h"
#include "core/userprompts.h"

#include <QPointer>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kAddAllIdleCaption = u"加入全部到列表"_s;
const QString kAddAllRunningCaption = u"停止加入全部"_s;
const QString kAnalysingText = u"正在分析,请稍候..."_s;

bool isKnownSource(const AnalysisRecord& record)
{
    return record.Source == u"ACS"_s || record.Source == u"ACSbook"_s;
}

} // namespace

AnalysisController::AnalysisController(AnalysisTableModel& model, SearchBrowser& browser, ProgramValues& values,
                                       SaveFolderPrompt& saveFolder, DownloadTableModel& tasks,
                                       DownloadWindowHost& downloads, UserPrompts& prompts, QObject* parent)
    : AnalysisController(model, browser, values, saveFolder, tasks, downloads, prompts, Timing(), parent)
{
}

AnalysisController::AnalysisController(AnalysisTableModel& model, SearchBrowser& browser, ProgramValues& values,
                                       SaveFolderPrompt& saveFolder, DownloadTableModel& tasks,
                                       DownloadWindowHost& downloads, UserPrompts& prompts, Timing timing,
                                       QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_browser(browser)
    , m_values(values)
    , m_saveFolder(saveFolder)
    , m_tasks(tasks)
    , m_downloads(downloads)
    , m_prompts(prompts)
    , m_timing(timing)
{
    m_pollTimer.setInterval(m_timing.PollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &AnalysisController::poll);
    connect(&m_browser, &SearchBrowser::documentComplete, this, [this] { m_pageLoading = false; });
}

ExtractionOptions AnalysisController::extractionOptions()
{
    return {m_onlyChecked, m_values.PromptSaveFolder ? m_values.SaveFolder : QString(), &m_hiddenLeftOut};
}

QString AnalysisController::addAllCaption() const
{
    return m_addAllRunning ? kAddAllRunningCaption : kAddAllIdleCaption;
}

QString AnalysisController::rowCountText() const
{
    return m_model.list().countText();
}

void AnalysisController::extractPage(const DomSnapshot& page)
{
    const ExtractionOptions options = extractionOptions();
    m_model.appendWith([&](AnalysisList& list) { return ExtractPage(page, options, list); });
    emit rowCountChanged(rowCountText());
    emit hiddenEntriesChanged(hiddenEntriesText());
}

QString AnalysisController::hiddenEntriesText() const
{
    return m_hiddenLeftOut > 0 ? u"（未加入隐藏项："_s + QString::number(m_hiddenLeftOut) + u"）"_s : QString();
}

void AnalysisController::AddCurrentPage()
{
    if (m_values.PromptSaveFolder)
        m_saveFolder.showSaveFolderDialog(); // the page is read whatever the answer
    m_hiddenLeftOut = 0;
    QPointer<AnalysisController> self(this);
    m_browser.readPage([self](const DomSnapshot& page) {
        if (!self)
            return;
        self->extractPage(page);
        emit self->columnsNeedSizing();
    });
}

void AnalysisController::AddAllPages()
{
    if (m_addAllRunning) {
        // A second press stops the run at its next look.
        m_stopAddAll = true;
        emit columnsNeedSizing();
        return;
    }
    m_addAllRunning = true;
    m_stopAddAll = false;
    m_hiddenLeftOut = 0;
    emit addAllButtonChanged();
    if (m_values.PromptSaveFolder)
        m_saveFolder.showSaveFolderDialog(); // once for the whole run
    QTimer::singleShot(0, this, &AnalysisController::nextPageStep);
}

void AnalysisController::nextPageStep()
{
    if (!m_addAllRunning)
        return;
    if (m_stopAddAll) {
        finishAddAll();
        return;
    }
    QPointer<AnalysisController> self(this);
    m_browser.readPage([self](const DomSnapshot& page) {
        if (self)
            self->pageRead(page);
    });
}

void AnalysisController::pageRead(const DomSnapshot& page)
{
    if (!m_addAllRunning)
        return;
    extractPage(page);
    const int next = FindNextLink(page);
    if (next < 0) {
        finishAddAll();
        return;
    }
    m_pageLoading = true;
    m_waitClock.start();
    m_wait = Wait::PageLoad;
    QPointer<AnalysisController> self(this);
    m_browser.clickElement(next, u"A"_s, [self](bool clicked) {
        if (!self || !self->m_addAllRunning)
            return;
        if (!clicked) {
            self->finishAddAll();
            return;
        }
        self->m_pollTimer.start();
    });
}

void AnalysisController::poll()
{
    switch (m_wait) {
    case Wait::PageLoad:
        if (!m_browser.isBusy() && !m_pageLoading) {
            m_wait = Wait::Settle;
            m_waitClock.start();
        } else if (m_waitClock.elapsed() > m_timing.PageTimeoutMs || m_stopAddAll) {
            // Too slow, or stopped: the page that is loading is not read.
            finishAddAll();
        }
        return;
    case Wait::Settle:
        if (m_stopAddAll) {
            finishAddAll();
        } else if (m_waitClock.elapsed() >= m_timing.SettleMs) {
            m_wait = Wait::None;
            m_pollTimer.stop();
            QTimer::singleShot(0, this, &AnalysisController::nextPageStep);
        }
        return;
    case Wait::None:
        m_pollTimer.stop();
        return;
    }
}

void AnalysisController::finishAddAll()
{
    m_wait = Wait::None;
    m_pollTimer.stop();
    m_addAllRunning = false;
    emit addAllButtonChanged();
    emit columnsNeedSizing();
    emit addAllFinished();
}

void AnalysisController::AnalyseCommand()
{
    emit analyseButtonEnabled(false);
    if (m_model.list().isEmpty())
        m_prompts.showMessage(u"列表没有数据哦！"_s, MessageIcon::Information);
    else if (!m_model.list().hasSelection())
        AnalyseAll();
    else
        emit analyseMenuRequested();
    emit analyseButtonEnabled(true);
}

void AnalysisController::setPanel(bool visible, const QString& text)
{
    m_panelVisible = visible;
    m_progressText = text;
    emit progressPanelChanged();
}

void AnalysisController::runAnalysis(Analyse which)
{
    if (!m_analysisIdle)
        return; // one analysis at a time
    m_analysisIdle = false;
    m_analysing = which;
    setPanel(true, kAnalysingText);
    QPointer<AnalysisController> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self)
            return;
        if (self->m_model.list().isEmpty()) {
            self->finishAnalysis();
            return;
        }
        if (!self->m_values.PromptSaveFolder) {
            self->m_saveFolder.showSaveFolderDialog();
            if (self->m_values.SaveFolderCancelled) {
                self->finishAnalysis();
                return;
            }
        }
        self->m_rowsAtStart = self->m_model.list().count();
        self->m_nextRow = 0;
        self->analyseRows();
    });
}

void AnalysisController::analyseRows()
{
    if (m_analysisIdle) { // "停止" pressed, or the window closed
        finishAnalysis();
        return;
    }
    AnalysisList& list = m_model.list();
    const int end = std::min({m_rowsAtStart, list.count(), m_nextRow + m_timing.RowsPerTurn});
    const int first = m_nextRow;
    for (; m_nextRow < end; ++m_nextRow) {
        AnalysisRecord& record = *list.at(m_nextRow);
        const bool taken = m_analysing == Analyse::All
            || (m_analysing == Analyse::Unanalysed && record.AnalysisState.isEmpty())
            || (m_analysing == Analyse::Failed && record.AnalysisState == QString::fromUtf16(kAnalysisFailed))
            || (m_analysing == Analyse::Selected && record.Selected);
        if (!taken)
            continue;
        if (m_analysing != Analyse::Unanalysed)
            record.AnalysisState.clear();
        if (isKnownSource(record)) {
            HandOffRecord(record, m_values, m_tasks);
            record.AnalysisState = QString::fromUtf16(kAnalysisSucceeded);
        }
    }
    m_model.rowsChanged(first, end - 1);
    if (m_nextRow >= std::min(m_rowsAtStart, list.count())) {
        finishAnalysis();
        return;
    }
    QTimer::singleShot(0, this, &AnalysisController::analyseRows);
}

void AnalysisController::finishAnalysis()
{
    setPanel(false, m_progressText);
    m_analysisIdle = true;
    m_downloads.ShowDownloadWindow();
    emit analysisFinished();
}

bool AnalysisController::refuseWhileAnalysing()
{
    if (m_analysisIdle)
        return false;
    m_prompts.showMessage(u"正在分析，不能清除！"_s, MessageIcon::Error);
    return true;
}

template <typename Picks>
void AnalysisController::clearWhere(Picks picks)
{
    if (m_model.list().isEmpty())
        return;
    m_model.changeAll([&](AnalysisList& list) { list.removeIf(picks); });
    emit rowCountChanged(rowCountText());
}

void AnalysisController::ClearSelected()
{
    if (!refuseWhileAnalysing())
        clearWhere([](const AnalysisRecord& r) { return r.Selected; });
}

void AnalysisController::ClearSucceeded()
{
    if (!refuseWhileAnalysing())
        clearWhere([](const AnalysisRecord& r) { return r.AnalysisState == QString::fromUtf16(kAnalysisSucceeded); });
}

void AnalysisController::ClearTitleContaining()
{
    if (refuseWhileAnalysing())
        return;
    const QString text = m_prompts.askText(u"请输入指定字符："_s).value_or(QString());
    if (!text.isEmpty())
        clearWhere([&](const AnalysisRecord& r) { return r.Title.contains(text, Qt::CaseInsensitive); });
}

void AnalysisController::ClearTitleNotContaining()
{
    if (refuseWhileAnalysing())
        return;
    const QString text = m_prompts.askText(u"请输入指定字符："_s).value_or(QString());
    if (!text.isEmpty())
        clearWhere([&](const AnalysisRecord& r) { return !r.Title.contains(text, Qt::CaseInsensitive); });
}

void AnalysisController::ClearAll()
{
    if (refuseWhileAnalysing())
        return;
    if (!m_prompts.askYesNo(u"您确定要清空辛辛苦苦搜索的列表数据吗？"_s, MessageIcon::Question))
        return;
    m_model.changeAll([](AnalysisList& list) { list.clear(); });
    emit rowCountChanged(rowCountText());
}

void AnalysisController::windowClosing()
{
    m_stopAddAll = true;
    m_analysisIdle = true;
}
