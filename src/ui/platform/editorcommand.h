#pragma once

#include <QString>
#include <QStringList>

// The command line that opens a file in the user's text editor: $VISUAL, else
// $EDITOR (each may carry arguments, quoted as a shell would), followed by the
// file. Empty when neither names an editor; the caller then lets the desktop
// choose the program for text files.
QStringList EditorCommandLine(const QString& visual, const QString& editor, const QString& filePath);
