#pragma once

#include "analysislist.h"

#include <QByteArray>
#include <QString>

#include <optional>

class AnalysisTableModel;
class UserPrompts;

// The analysis list kept between runs: every field of every record, its
// citation included, in list order.
namespace analysislistfile {

inline constexpr quint32 kFormat = 1;

QByteArray Encode(const AnalysisList& list);
// nullopt when the contents are damaged (a field cut short, two records with one address).
std::optional<AnalysisList> Decode(const QByteArray& contents, quint32 format = kFormat);

// Atomic: the old file stays whole until the new one is complete.
bool Save(const QString& path, const AnalysisList& list, QString* error = nullptr);
// Replaces the model's records with the file's, as one reset; see
// RestoreListFile for a file that cannot be used. Returns whether the list
// may be saved to path.
bool Restore(const QString& path, AnalysisTableModel& model, UserPrompts& prompts);

// The file in the per-user data folder.
QString DefaultPath();

} // namespace analysislistfile
