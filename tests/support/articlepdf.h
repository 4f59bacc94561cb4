#pragma once

#include <QByteArray>
#include <QString>

// A real, well-formed PDF of one page that shows an article's title, as the
// demo site serves for its papers: a viewer opens it, and the program's type
// detection sees a PDF. With atLeast > 0 the file is padded (in an unused
// stream object) to at least that many bytes, for the paper above the size
// limit.
QByteArray ArticlePdf(const QString& title, qint64 atLeast = 0);
