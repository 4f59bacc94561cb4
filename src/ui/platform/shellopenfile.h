#pragma once

#include <QString>

class Shell;
class UserPrompts;

// Opens the file with its associated program; a missing file is reported
// with "文件不存在！". The shell falls back on its own when the desktop has no
// program for the type.
void ShellOpenFile(const QString& filePath, UserPrompts& prompts, Shell& shell);

inline constexpr char16_t kShellFileMissing[] = u"文件不存在！";
