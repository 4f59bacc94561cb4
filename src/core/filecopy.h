#pragma once

#include "copysource.h"

#include <QString>

// Copies the source's bytes to target through a temporary file beside it that
// is renamed over target only once complete: a copy that fails leaves no
// partial file under the target's name and an existing target as it was. The
// bytes stream through a small buffer, and the copy takes the source file's
// modification time, so a later run can tell its own earlier copy.
bool CopyFilePart(const CopySource& source, const QString& target);

// The length of what the source holds, or -1 when it cannot be read.
qint64 CopySourceLength(const CopySource& source);

// The name the source goes by: its own, or the file's.
QString CopySourceName(const CopySource& source);

struct NumberedCopy {
    bool Copied = false;
    QString FileName; // the name chosen in the folder
};

// Copies the source into the folder under its name, or when that is taken
// under the first free "base[001].ext", "base[002].ext", ...; a counter
// already on the source's name is dropped first.
NumberedCopy 复制相同文件自动重命名(const CopySource& source, const QString& destinationFolder);
