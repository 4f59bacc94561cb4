#pragma once

#include <QString>

class UserPrompts;

// Where the folder picker opens for a current folder text: the text cut after
// its last separator before the last character (so "/a/b" and "/a/b/" both
// open at "/a/"), the root for a blank text or a folder that does not exist.
QString BrowseStartFolder(const QString& currentFolder);

// Asks for a folder through the prompts' folder picker. The chosen folder, or
// the current folder text when the user cancels; either with a separator at
// its end.
QString BrowseForFolder(UserPrompts& prompts, const QString& currentFolder, const QString& title);
