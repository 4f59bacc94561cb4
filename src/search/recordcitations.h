#pragma once

#include "core/citation.h"

#include <vector>

class AnalysisList;
struct AnalysisRecord;

// A record as the citation files list it: its title, its address, what the
// page showed of it.
CitedArticle CitationOf(const AnalysisRecord& record);
std::vector<CitedArticle> CitationsOf(const AnalysisList& list);
