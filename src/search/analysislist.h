#pragma once

#include "core/citation.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

// One article found on a result page.
struct AnalysisRecord {
    QString Title;
    QString FileType;      // "pdf" or "htm"
    QString AnalysisState; // "", "成功" or "分析失败"
    QString SavePath;      // folder for the file, or "" for the save folder at hand-off
    QString Source;        // "ACS" or "ACSbook": which page layout it came from
    QString ArticleUrl;    // the list's key
    QString PageUrl;       // the result page it was found on
    Citation Meta;         // what the page showed of the article besides its title
    bool Selected = false;

    friend bool operator==(const AnalysisRecord&, const AnalysisRecord&) = default;
};

inline constexpr char16_t kAnalysisSucceeded[] = u"成功";
inline constexpr char16_t kAnalysisFailed[] = u"分析失败";

// The search window's records in the order they were found, keyed by address.
class AnalysisList final {
public:
    // Appends a record not yet analysed; false (nothing changes) when a record
    // with that address is already listed.
    bool AddAnalysisRecord(const QString& title, const QString& articleUrl, const QString& pageUrl,
                           const QString& fileType, const QString& savePath, const QString& source,
                           const Citation& meta = {});

    int count() const { return static_cast<int>(m_records.size()); }
    bool isEmpty() const { return m_records.empty(); }
    // 0-based row; nullptr when there is none.
    AnalysisRecord* at(int row);
    const AnalysisRecord* at(int row) const;
    bool contains(const QString& articleUrl) const { return m_rowByUrl.contains(articleUrl); }
    bool hasSelection() const;

    // Removes the records the predicate picks in one pass; returns how many.
    int removeIf(const std::function<bool(const AnalysisRecord&)>& picks);
    void clear();

    const std::vector<AnalysisRecord>& records() const { return m_records; }

    // The row-count label: the number of rows, "0" for none.
    QString countText() const { return QString::number(count()); }

private:
    std::vector<AnalysisRecord> m_records;
    QHash<QString, int> m_rowByUrl;
};
