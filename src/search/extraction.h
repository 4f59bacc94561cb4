#pragma once

#include <QString>

class AnalysisList;
class DomSnapshot;

struct ExtractionOptions {
    bool OnlyChecked = false; // take only the entries ticked on the page
    QString SavePath;         // stored in every new record
    int* LeftOut = nullptr;   // when given, counts the entries left out because a reader cannot see them
};

// Reads the article entries of a result page into the list, trying the page
// layouts in order and stopping at the first that finds any. Returns how many
// entries were found (an entry already listed counts, though it adds no row).
// An entry a reader cannot see (hidden, or without width or height) is never
// taken: a person would not have chosen it.
int ExtractPage(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list);

// The layouts, oldest first.
int ParseArticleBoxes(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list);
int ParseChapterBoxes(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list);
int ParseResultList(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list);
// Today's result and table-of-contents pages ("issue-item" entries).
int ParseIssueItems(const DomSnapshot& page, const ExtractionOptions& options, AnalysisList& list);

// The index of the page's "next" link, or -1 when the page is the last. A
// hidden link is not followed; its size does not count (the site's "next"
// link is an empty anchor drawn by a style).
int FindNextLink(const DomSnapshot& page);
