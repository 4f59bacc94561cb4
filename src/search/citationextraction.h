#pragma once

#include "core/citation.h"

#include <QString>

#include <vector>

class DomSnapshot;

// The DOI in a "/doi/" address ("/doi/abs/10.1021/x", "/doi/pdf/10.1021/x.pdf"),
// without the view word and a ".pdf" ending; "" when there is none.
QString DoiFromAddress(const QString& address);

// The text of an element and everything inside it, as one line.
QString ElementText(const DomSnapshot& page, int element);

// What a current-layout entry ("issue-item") shows about its article.
// titleLink is the entry's title link, the DOI's fallback source.
Citation IssueItemCitation(const DomSnapshot& page, int entry, int titleLink);

// What an entry of the older layouts shows: its "entryAuthor", "epubdate" and
// "articlePageRange" parts, and the DOI of its check box or of its links.
Citation BoxCitation(const DomSnapshot& page, int entry, const std::vector<int>& links);
