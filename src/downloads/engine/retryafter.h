#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The wait a "Retry-After" header asks for, in seconds from now: a number of
// seconds, or an HTTP date (the fixed form "Sun, 06 Nov 1994 08:49:37 GMT",
// the older "Sunday, 06-Nov-94 08:49:37 GMT" and "Sun Nov  6 08:49:37 1994").
// A date names a whole second, and the host may still refuse within it: the
// wait ends at the end of that second, as if "Retry-After" had counted the
// seconds to the next one. A date already past asks for no wait (0); nothing
// for a value that is none of these.
std::optional<double> RetryAfterSeconds(const QString& value, const QDateTime& nowUtc);
