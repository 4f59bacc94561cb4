#pragma once

#include <QByteArray>
#include <QString>

// The envelope of a list the program keeps between runs: a fixed mark, the
// kind of list, the format number, the length of the contents and their
// checksum. A file cut short, damaged, of another kind or from a newer
// program is told apart from a good one before anything in it is read.
namespace listfile {

enum class ReadStatus {
    Missing,    // no file: a first start, nothing to restore
    Loaded,
    Unreadable, // the file is there but cannot be opened or read
    Damaged,    // cut short, altered, or not a list file of this kind
    Newer,      // written by a newer program with a format this one does not know
};

struct ReadResult {
    ReadStatus Status = ReadStatus::Missing;
    quint32 Format = 0;
    QByteArray Contents;
};

// kind is four letters naming the list; format the number of the layout of
// the contents. Written through a temporary file renamed into place, so a
// crash leaves the old file or the new one, never half of one. false with
// the reason in error when the file could not be written.
bool Write(const QString& path, const QByteArray& kind, quint32 format, const QByteArray& contents,
           QString* error = nullptr);

// Reads and checks the envelope. Formats up to newestFormat are Loaded.
ReadResult Read(const QString& path, const QByteArray& kind, quint32 newestFormat);

// Renames a file that could not be used to a new name beside it
// ("downloads.dat.damaged-20261210-112318", a counter added when taken), so
// that the next save does not overwrite what the user may still want. The new
// path; empty when the file could be neither renamed nor copied.
QString SetAside(const QString& path);

} // namespace listfile
