#pragma once

#include <QString>

class Shell;

// Shows the file selected in its folder. False when there is no file at the
// (trimmed) path or the desktop refused.
bool OpenFolderAndSelect(const QString& filePath, Shell& shell);
