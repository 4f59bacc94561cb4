#pragma once

#include <QString>
#include <QStringList>

class UserPrompts;

// File-system queries and the folder and free-name rules built on them. None of
// them throws: an invalid path, a vanished folder or a refused access answers
// false or empty.

bool FileExists(const QString& path);   // a file, not a folder
bool FolderExists(const QString& path); // a folder, not a file
bool EntryExists(const QString& path);  // either

// Creates the folder level by level, each level cleaned with SafeFileName.
// Returns the folder as created (no trailing separator), or empty when it does
// not exist afterwards.
QString EnsureFolder(const QString& path, UserPrompts& prompts);

// The folder with a separator at its end ("/" added when it has none).
QString WithTrailingSeparator(const QString& folder);

// The path itself when free, else the first free "base[0001].ext",
// "base[0002].ext", ... in the same folder.
QString NextNumberedName(const QString& path);

// Append the subfolders (respectively files) below an absolute folder to list:
// a folder's own entries in name order first, then each subfolder's. Linked
// folders are listed but not entered, so a link loop cannot recurse forever.
void CollectSubfolders(const QString& folder, QStringList& list, bool recursive);
void CollectFiles(const QString& folder, QStringList& list, bool recursive);

inline constexpr char16_t kFolderNameError[] = u"文件夹名称有误！不能创建文件夹！";
