#pragma once

struct DownloadTask;

// Writes the citation of a completed paper that came from a record beside its
// file, as "<name>.ris" (written aside and renamed). Nothing for a task
// without a citation or for a web page result; false when the write failed.
bool WriteCitationBesideFile(const DownloadTask& task);
