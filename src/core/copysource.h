#pragma once

#include <QString>

// One file for the copy dialog: a whole file, or the part of a file that holds
// a document (the body in a browser cache entry), under the name it goes by.
struct CopySource {
    QString Path;
    qint64 Offset = 0;
    qint64 Length = -1; // -1: to the end of the file
    QString Name;       // empty: the file's own name

    static CopySource WholeFile(const QString& path) { return {path, 0, -1, {}}; }
};
