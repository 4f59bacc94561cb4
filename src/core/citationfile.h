#pragma once

#include "citation.h"

#include <QString>

#include <optional>
#include <vector>

enum class CitationFormat { Ris, BibTex };

// ".bib" (any letter case) is BibTeX; ".ris" RIS. Nothing for other names.
std::optional<CitationFormat> CitationFormatOfFile(const QString& path);

// The articles in that format, UTF-8, written aside and renamed over the file
// so that a failed write leaves an earlier file whole. On failure the error
// text goes to *error when asked.
bool WriteCitationFile(const QString& path, const std::vector<CitedArticle>& articles, CitationFormat format,
                       QString* error = nullptr);
