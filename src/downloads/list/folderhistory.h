#pragma once

#include <QString>
#include <QStringList>

// SaveList.dat: the folders chosen before, one per line, offered again by the
// save folder and copy dialogs.

// Replaces entries with the file's folders: the first 100 non-empty lines,
// each folder once (letter case ignored), in order of first appearance. A line
// that is not valid text is passed over; a missing file leaves entries as they
// were.
void LoadFolderHistory(QStringList& entries, const QString& filePath);

// Rewrites the file from entries in the program's 8-bit form with CR LF; an
// empty list is written as one empty line. False when the file could not be
// written completely.
bool SaveFolderHistory(const QStringList& entries, const QString& filePath);

// SaveList.dat in the per-user data folder.
QString FolderHistoryFilePath();
