#include "openfolderandselect.h"

#include "core/pathfunctions.h"
#include "core/shell.h"

bool OpenFolderAndSelect(const QString& filePath, Shell& shell)
{
    const QString path = filePath.trimmed();
    if (!FileExists(path))
        return false;
    return shell.showInFolder(path);
}
