#pragma once

#include "citation.h"

#include <QString>

#include <vector>

// RIS, the tagged form every reference manager imports: "TY  - JOUR" opens a
// record, "ER  - " closes it, one "XX  - value" line per field, CR LF.
QString RisText(const std::vector<CitedArticle>& articles);
