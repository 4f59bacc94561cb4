#pragma once

#include <QString>

// The operating system's name with its kernel version, for example
// "Debian GNU/Linux 12 (bookworm) [6.1.0-26-amd64]". Computed once at start.
QString GetSystemVersionName();

struct ProgramVersion {
    int Major = 0;
    int Minor = 0;
    int Revision = 0;

    QString text() const; // "major.minor.revision"
};

// The version this build was made as (the build system's project version).
ProgramVersion CurrentProgramVersion();
