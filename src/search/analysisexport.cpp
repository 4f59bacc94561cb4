#include "analysisexport.h"

#include "analysislist.h"
#include "recordcitations.h"

#include "core/citationfile.h"
#include "core/legacytext.h"
#include "core/textfunctions.h"
#include "core/userprompts.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

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
