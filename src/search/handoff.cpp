#include "handoff.h"

#include "analysislist.h"
#include "recordcitations.h"

#include "core/citationfile.h"
#include "core/legacytext.h"
#include "core/programvalues.h"
#include "core/userprompts.h"
#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/savenaming.h"

#include <QFileInfo>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

bool HandOffRecord(const AnalysisRecord& record, const ProgramValues& values, DownloadWindowHost& host)
{
    const QString folder = record.SavePath.isEmpty() ? values.SaveFolder : record.SavePath;
    const QString name = values.NameByPattern
        ? HandOffTaskName(record.Title, record.ArticleUrl, record.Meta, values.NamePattern)
        : HandOffTaskName(record.Title, record.ArticleUrl, values.NameByOriginalFile);
    DownloadTableModel& tasks = host.downloadTasks();
    if (tasks.AddTask(record.ArticleUrl, name, record.FileType, folder, record.PageUrl)) {
        // No column shows it, so the row need not be repainted; the list's
        // saver, told of the new row, writes it a moment later.
        tasks.list().TaskAt(tasks.list().count())->Cited = CitationOf(record);
    }
    return true;
}

QString FormatKilobytes(double kilobytes)
{
    const QString fixed = QString::number(kilobytes, 'f', 1);
    const qsizetype dot = fixed.indexOf(u'.');
    QString whole = fixed.first(dot);
    const bool negative = whole.startsWith(u'-');
    if (negative)
        whole.remove(0, 1);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, u',');
    return (negative ? u"-"_s : QString()) + whole + fixed.sliced(dot);
}

void ExportAnalysisList(const AnalysisList& list, UserPrompts& prompts)
{
    if (list.isEmpty())
        return;
    QString file = prompts.chooseSaveFile(QString(), kAnalysisExportFilter);
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += u".txt"_s;

    // The file's type picks the form: a reference manager's, or the text lines.
    if (const std::optional<CitationFormat> format = CitationFormatOfFile(file)) {
        if (!WriteCitationFile(file, CitationsOf(list), *format))
            return;
    } else {
        QStringList lines;
        for (const AnalysisRecord& r : list.records())
            lines.append(r.Title + u"-【"_s + r.FileType + u"】"_s + r.AnalysisState);
        if (!legacytext::writeLines(file, lines))
            return;
    }
    const double kilobytes = static_cast<double>(QFileInfo(file).size()) / 1024.0;
    prompts.showMessage(u"保存文件完毕："_s + FormatKilobytes(kilobytes) + u"KB"_s, MessageIcon::Information);
}
