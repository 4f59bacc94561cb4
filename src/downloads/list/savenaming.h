#pragma once

#include <QString>

#include <functional>

struct Citation;
struct DownloadTask;

// What to do when a task's target file already exists.
enum class DuplicatePolicy { Skip, Overwrite, Rename };

// The policy whose caption ("跳过", "覆盖", "重命名"), trimmed, equals the text;
// "重命名" for anything else.
DuplicatePolicy DuplicatePolicyFromCaption(const QString& caption);
QString DuplicatePolicyCaption(DuplicatePolicy policy);

// The name a handed-over record gets: the address's own file name (without
// extension) or the title without line breaks, made safe for the file system.
QString HandOffTaskName(const QString& title, const QString& url, bool nameByOriginalFile);
// The name by a pattern such as "{year} {author} {title}" (NameFromPattern);
// the address names the file when the pattern leaves nothing.
QString HandOffTaskName(const QString& title, const QString& url, const Citation& meta, const QString& pattern);

// Folder & Name ["." & Type], a separator added after Folder when it lacks one,
// the file name cut to what the file system accepts.
QString TargetFilePath(const QString& folder, const QString& name, const QString& type);

// False when the task must not start: its file exists under "跳过", so the task
// is marked Completed with the file's length and "已存在，跳过".
bool CheckExistingFile(DownloadTask& task, DuplicatePolicy policy);

struct SavePath {
    QString Path;
    QString Name; // the name to show for the task
};

// The path to save to: the task's own unless it exists under "重命名", then the
// first free "name[001]", "name[002]", ... (square brackets already in the
// name become 『』, so the counter is the only such pair).
// taken says whether a path's name is in use: by default, whether a file is
// there; a scheduler also counts the names its running transfers will take.
using NameTaken = std::function<bool(const QString& path)>;
SavePath MakeSavePath(const QString& folder, const QString& name, const QString& type, DuplicatePolicy policy,
                      const NameTaken& taken = {});
