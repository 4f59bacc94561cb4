#pragma once

#include "citation.h"

#include <QString>
#include <QStringList>

#include <vector>

// The citation keys of the articles, in their order: the first author's
// surname in plain ASCII letters, the year, then a letter that keeps each key
// unique in the file ("smith2024a", "smith2024b", ...).
QStringList BibTexKeys(const std::vector<CitedArticle>& articles);

// A BibTeX field value, brace-delimited, with TeX's special characters
// escaped so that a title holding "{", "%" or "&" neither breaks the file nor
// changes meaning.
QString BibTexEscape(const QString& text);

// One @article (or @incollection for a book chapter) per article, UTF-8 text.
QString BibTexText(const std::vector<CitedArticle>& articles);
