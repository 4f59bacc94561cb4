#pragma once

#include <QByteArrayView>
#include <QString>

// The site's bot check: instead of the file, plain HTTP clients get a page
// that only a real browser passes by running its script. Recognised here and
// nowhere else, so the transfers, the scheduler's fallback and the browser
// all mean the same thing by it.

// An answer (its status and the first bytes of its body) that is the check's
// page: status 403 or 503 and one of the page's markers in the body.
bool IsBotCheckAnswer(int status, QByteArrayView bodyHead);

// A document the browser shows whose title is the check's ("Just a moment...").
bool IsBotCheckTitle(const QString& title);
