#pragma once

#include "domsnapshot.h"

#include <QByteArray>
#include <QString>

// Text of an HTML file in its own character set: a byte order mark, then a
// charset the page declares in its first kilobyte, then UTF-8 if the bytes are
// valid UTF-8, else windows-1252 (what browsers assume).
QString DecodeHtml(const QByteArray& bytes);

// Parses a saved page the way the browser would see it, for pages read without
// the browser (saved result pages, tests). Links are resolved against the
// page's own <base href> or else documentUrl.
DomSnapshot SnapshotFromHtml(const QByteArray& html, const QString& documentUrl);
