#include "recordcitations.h"

#include "analysislist.h"

CitedArticle CitationOf(const AnalysisRecord& record)
{
    return {record.Title, record.ArticleUrl, record.Meta};
}

std::vector<CitedArticle> CitationsOf(const AnalysisList& list)
{
    std::vector<CitedArticle> out;
    out.reserve(static_cast<size_t>(list.count()));
    for (const AnalysisRecord& r : list.records())
        out.push_back(CitationOf(r));
    return out;
}
