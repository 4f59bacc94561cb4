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

// The browser engine's sandbox cannot run for the superuser, and the engine
// then ends the program with a log line of its own. Started as root with the
// sandbox on, the program says so instead (in English for stderr, in Chinese
// for the message box) and does not start; it never switches the sandbox off
// by itself. Empty texts: nothing stands in the way. sandboxSwitchedOff is
// QTWEBENGINE_DISABLE_SANDBOX set (to anything, as the engine reads it), or
// --no-sandbox in QTWEBENGINE_CHROMIUM_FLAGS.
struct SandboxRefusal {
    QString ForTerminal;
    QString ForWindow;
};
SandboxRefusal RefuseRootWithSandbox(bool runningAsRoot, bool sandboxSwitchedOff);
bool BrowserSandboxSwitchedOff(bool disableSandboxSet, const QString& chromiumFlags);
