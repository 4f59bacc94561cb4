#include "analysislist.h"

#include <algorithm>

bool AnalysisList::AddAnalysisRecord(const QString& title, const QString& articleUrl, const QString& pageUrl,
                                     const QString& fileType, const QString& savePath, const QString& source,
                                     const Citation& meta)
{
    if (m_rowByUrl.contains(articleUrl))
        return false;
    AnalysisRecord record;
    record.Title = title;
    record.ArticleUrl = articleUrl;
    record.PageUrl = pageUrl;
    record.FileType = fileType;
    record.SavePath = savePath;
    record.Source = source;
    record.Meta = meta;
    m_rowByUrl.insert(articleUrl, count());
    m_records.push_back(std::move(record));
    return true;
}

AnalysisRecord* AnalysisList::at(int row)
{
    if (row < 0 || row >= count())
        return nullptr;
    return &m_records[static_cast<size_t>(row)];
}

const AnalysisRecord* AnalysisList::at(int row) const
{
    return const_cast<AnalysisList*>(this)->at(row);
}

bool AnalysisList::hasSelection() const
{
    return std::any_of(m_records.begin(), m_records.end(), [](const AnalysisRecord& r) { return r.Selected; });
}

int AnalysisList::removeIf(const std::function<bool(const AnalysisRecord&)>& picks)
{
    const auto firstRemoved = std::remove_if(m_records.begin(), m_records.end(), picks);
    const int removed = static_cast<int>(std::distance(firstRemoved, m_records.end()));
    if (removed == 0)
        return 0;
    m_records.erase(firstRemoved, m_records.end());
    m_rowByUrl.clear();
    m_rowByUrl.reserve(count());
    for (int i = 0; i < count(); ++i)
        m_rowByUrl.insert(m_records[static_cast<size_t>(i)].ArticleUrl, i);
    return removed;
}

void AnalysisList::clear()
{
    m_records.clear();
    m_rowByUrl.clear();
}
