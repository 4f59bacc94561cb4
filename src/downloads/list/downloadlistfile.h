#pragma once

#include "downloadlist.h"

#include <QByteArray>
#include <QString>

#include <optional>

class DownloadTableModel;
class UserPrompts;

// The download list kept between runs: every field of every task, in list order.
namespace downloadlistfile {

inline constexpr quint32 kFormat = 1;

QByteArray Encode(const DownloadList& list);
// The tasks in contents of that format; nullopt when they are damaged
// (a field cut short, an unknown state, two tasks with one address).
// Tasks that were downloading come back waiting: no transfer survives the program.
std::optional<DownloadList> Decode(const QByteArray& contents, quint32 format = kFormat);

// Atomic: the old file stays whole until the new one is complete.
bool Save(const QString& path, const DownloadList& list, QString* error = nullptr);
// Replaces the model's tasks with the file's, as one reset; see RestoreListFile
// for a file that cannot be used. Returns whether the list may be saved to path.
bool Restore(const QString& path, DownloadTableModel& model, UserPrompts& prompts);

// The file in the per-user data folder.
QString DefaultPath();

} // namespace downloadlistfile
