#pragma once

#include <QString>

// Scheme and host of an address ("https://host"), or the whole text when it has
// no path. Sent as the referring page when a task brings none of its own.
QString UrlSiteRoot(const QString& url);

// Extension (without dot, at most 6 characters) of the last segment of an
// address or local path; query, fragment and an address nested in the query
// play no part.
QString UrlFileExtension(const QString& url);
