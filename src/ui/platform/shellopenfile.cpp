#include "shellopenfile.h"

#include "core/pathfunctions.h"
#include "core/shell.h"
#include "core/userprompts.h"

void ShellOpenFile(const QString& filePath, UserPrompts& prompts, Shell& shell)
{
    if (!FileExists(filePath)) {
        prompts.showMessage(QString::fromUtf16(kShellFileMissing), MessageIcon::Error);
        return;
    }
    shell.openFile(filePath);
}
