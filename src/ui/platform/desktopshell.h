#pragma once

#include "core/shell.h"

#include <QProcessEnvironment>

// The desktop services for real: the desktop's handlers for files and
// addresses, the file manager's ShowItems call on the session bus, the user's
// editor and the clipboard.
class DesktopShell final : public Shell {
public:
    explicit DesktopShell(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());

    bool openFile(const QString& filePath) override;
    bool openAddress(const QString& address) override;
    bool openFolder(const QString& folderPath) override;
    bool showInFolder(const QString& filePath) override;
    bool startTextEditor(const QString& filePath) override;
    void setClipboardText(const QString& text) override;

private:
    QProcessEnvironment m_environment;
};
