#pragma once

#include "core/citation.h"

#include <QString>

// A file name from a pattern such as "{year} {author} {title}". Fields: title,
// author (the first author's surname), authors, year, journal, doi ("/" made
// "_"), volume, pages; any other text, braces included, stays as written. A
// field the record lacks leaves no doubled or edge blanks behind. The result
// is made safe for the file system; the save step still applies its length
// and duplicate-name rules.
QString NameFromPattern(const QString& pattern, const QString& title, const Citation& meta);
