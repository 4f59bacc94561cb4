#pragma once

#include <QByteArray>
#include <QString>

struct DownloadTask;

// The type a file's content shows ("pdf", "htm", "docx", ...), lower case, or ""
// when it is not recognised or is not a regular file. Reads at most the first
// 10 KB, the last 128 bytes, and a file under 3 KB whole: a named pipe, a
// folder or a sparse 4 GB file answer at once.
QString DetectFileType(const QString& path);

// The same from the first bytes (up to 10 KB) and the last 128 of a body of
// the given length, as a transfer saw them pass: no second read of the file.
QString DetectFileTypeFromSample(const QByteArray& head, const QByteArray& tail, qint64 length);

// Gives the task's file the extension its content shows, under a free name;
// true when the file was renamed and the task's Name and Type follow it. A
// rename that fails leaves the task unchanged.
bool CorrectTaskFileType(DownloadTask& task);
// The same with the type already detected (from the body as it passed).
bool CorrectTaskFileType(DownloadTask& task, const QString& detected);
