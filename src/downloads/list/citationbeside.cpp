#include "citationbeside.h"

#include "downloadtask.h"

#include "core/citationfile.h"

using namespace Qt::Literals::StringLiterals;

bool WriteCitationBesideFile(const DownloadTask& task)
{
    if (!task.Cited || IsWebPageResult(task))
        return true;
    return WriteCitationFile(task.Folder + task.Name + u".ris"_s, {*task.Cited}, CitationFormat::Ris);
}
