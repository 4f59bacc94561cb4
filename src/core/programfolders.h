#pragma once

#include <QString>

// The folder the program writes its own files to (folder history, recreated
// sound clips): the per-user data folder, created on first use. The program's
// installation folder is read-only and holds only what ships with it.
QString ProgramDataFolder();

// The folder of the executable (shipped files such as the sound clips).
QString ProgramFolder();

// The folder of the read-only files that ship with the program (the sound
// clips): <prefix>/share/paperpull when the program is installed with its
// executable in <prefix>/bin, otherwise the executable's own folder (a build
// tree, where the build puts them beside the executables).
QString ShippedFilesFolder(const QString& executableFolder);
QString ShippedFilesFolder(); // of the running executable
