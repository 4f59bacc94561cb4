#pragma once

#include <QString>

class AnalysisList;
class UserPrompts;

// The export's file types: the text lines, RIS, BibTeX.
inline const QString kAnalysisExportFilter = QStringLiteral("*.txt|*.txt|*.ris|*.ris|*.bib|*.bib");

// "Title-【type】state" lines in the 8-bit text form with CR LF, to a file the
// user picks, or, for a ".ris" or ".bib" file, the records' citations in that
// form (UTF-8); reports the file's size when done. A failed write leaves any
// earlier file whole and says nothing.
void ExportAnalysisList(const AnalysisList& list, UserPrompts& prompts);
