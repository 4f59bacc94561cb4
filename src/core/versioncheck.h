#pragma once

#include "systemprobes.h"

#include <QString>

#include <optional>

// The new-version check at start-up: the server holds a short text file that
// names the newest version as "major.minor.revision".

// The version file and the program's page on the server (whose address ends with "/").
QString VersionFileAddress(const QString& server);
QString ProgramPageAddress(const QString& server);

// "有最新版本：V1.5.0" when the answer names a version newer than the running
// one; nothing for an answer that is empty, 11 characters or longer (an error
// page), not three numbers, or not newer. Spaces around it do not count.
std::optional<QString> NewerVersionNotice(const QString& answer, const ProgramVersion& running);

inline constexpr char16_t kKeepNetworkUp[] = u"请保持网络畅通！";
