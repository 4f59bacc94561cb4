#pragma once

#include <QString>

// The folder the program writes its own files to (folder history, recreated
// sound clips): the per-user data folder, created on first use. The program's
// installation folder is read-only and holds only what ships with it.
QString ProgramDataFolder();

// The folder of the executable (shipped files such as the sound clips).
QString ProgramFolder();
