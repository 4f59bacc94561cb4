#pragma once

#include <QString>
#include <QStringList>

// What the program's command line asks for. Parsed before the toolkit starts,
// so that --help and --version answer without a display.
struct StartOptions {
    enum class Action { Run, ShowHelp, ShowVersion, Refuse };

    Action Do = Action::Run;
    QString HomePage; // the search window's first page instead of the site's; empty: the site's
    QString Error;    // with Refuse: what was wrong, for stderr
};

// The arguments after the program's name. Unknown options and stray words
// refuse to start rather than being ignored, so a mistyped option is noticed.
StartOptions ParseStartOptions(const QStringList& arguments);

// The text --help prints.
QString StartOptionsHelp();
