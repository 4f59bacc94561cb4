#pragma once

#include <QString>

// The desktop services the logic uses: opening files, folders and addresses,
// the text editor, mail and the clipboard. Each answers whether the desktop
// accepted the request.
class Shell {
public:
    virtual ~Shell() = default;

    virtual bool openFile(const QString& filePath) = 0;   // with its associated program
    virtual bool openAddress(const QString& address) = 0; // web address or mailto: link
    virtual bool openFolder(const QString& folderPath) = 0;
    virtual bool showInFolder(const QString& filePath) = 0; // folder opened, file selected
    virtual bool startTextEditor(const QString& filePath) = 0;
    virtual void setClipboardText(const QString& text) = 0;
};
