#include "handoff.h"

#include "analysislist.h"
#include "recordcitations.h"

#include "core/programvalues.h"
#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/savenaming.h"

using namespace Qt::Literals::StringLiterals;

void HandOffRecord(const AnalysisRecord& record, const ProgramValues& values, DownloadTableModel& tasks)
{
    const QString folder = record.SavePath.isEmpty() ? values.SaveFolder : record.SavePath;
    const QString name = values.NameByPattern
        ? HandOffTaskName(record.Title, record.ArticleUrl, record.Meta, values.NamePattern)
        : HandOffTaskName(record.Title, record.ArticleUrl, values.NameByOriginalFile);
    if (tasks.AddTask(record.ArticleUrl, name, record.FileType, folder, record.PageUrl)) {
        // No column shows it, so the row need not be repainted; the list's
        // saver, told of the new row, writes it a moment later.
        tasks.list().TaskAt(tasks.list().count())->Cited = CitationOf(record);
    }
}
