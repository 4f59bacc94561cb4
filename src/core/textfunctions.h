#pragma once

#include <QString>

// Pure text rules that turn titles and address pieces into file names and split
// paths. They decide the names that end up on disk, so each follows its rule
// character by character. Paths may use '/' or '\' as separator.

struct FileNameParts {
    QString BaseName;
    QString Extension; // without the dot
};

struct PathParts {
    QString Folder; // up to and including the last separator, or empty
    QString BaseName;
    QString Extension;
};

struct NumberSuffix {
    QString BaseName; // the name without a trailing "[n]"
    QString Number;   // the n of that "[n]", or empty when there is none
};

// Removes characters a file name cannot hold, dots at both ends and spaces at
// both ends (in that order), and keeps at most 250 bytes of the 8-bit form.
QString SafeFileName(const QString& name);

// Extension of the last path segment (at most 6 characters), and its base.
FileNameParts SplitFileName(const QString& path);

// Like SplitFileName, plus the folder part; a name such as ".pdf" is all base.
PathParts SplitPath(const QString& path);

QString FileNameFromPath(const QString& pathOrUrl, bool dropExtension);

NumberSuffix SplitNumberSuffix(const QString& baseName);

QString RemoveLineBreaks(const QString& text);

// A size in kilobytes as "#,##0.0" shows it, whatever the user's locale: "1.5", "2,048.0".
QString FormatKilobytes(double kilobytes);

// The file-system boundary: cuts the last component of a path, by whole
// characters, until its UTF-8 form fits maxBytes. The extension and a trailing
// bracketed counter ("[0001]", "(2)", "『3』") are kept, so a name cut short
// still opens with the right program and stays distinct from its siblings.
QString FitFileName(const QString& path, qsizetype maxBytes = 255);

// Helpers shared by the path and URL functions.
namespace textrules {
QString trimSpaces(QStringView text);          // U+0020 only, as the rules say
qsizetype lastSeparator(QStringView path);     // last '/' or '\', or -1
bool isDigits(QStringView text);               // non-empty, ASCII digits only
bool isSeparator(QChar c);
} // namespace textrules
