#pragma once

#include <QString>

// The hidden names bodies take on their way: ".paperpull-" and a random part,
// ".part" at the end. Short on purpose: the target's name may already be as
// long as the file system allows.
inline constexpr char16_t kPartFilePrefix[] = u".paperpull-";
inline constexpr char16_t kPartFileSuffix[] = u".part";
bool IsPartFileName(const QString& fileName);
// A hidden name of that form beside nothing else in folder, for a body that
// another component (the browser) writes.
QString FreePartFilePath(const QString& folder);

// What a run that was killed or crashed in the middle of a body leaves in a
// folder, none of it a paper:
// - hidden part files (named as above) that no transfer holds any more;
// - two-byte name claims under a paper's name, which earlier versions wrote
//   the moment a download began.

// Whether the file at path is such a claim, by its bytes.
bool IsLeftNameClaim(const QString& path);

// Removes both kinds from folder and returns how many went. A part file a
// transfer still holds locked stays; the browser's part files carry no lock,
// so this runs for a folder before any transfer of the run writes there.
int RemoveLeftoverFiles(const QString& folder);
