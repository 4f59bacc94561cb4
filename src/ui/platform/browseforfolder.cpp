#include "browseforfolder.h"

#include "core/pathfunctions.h"
#include "core/userprompts.h"

#include <QDir>

namespace {

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

} // namespace

QString BrowseStartFolder(const QString& currentFolder)
{
    QString start = currentFolder.trimmed();
    if (start.isEmpty())
        return QDir::rootPath();
    for (qsizetype i = start.size() - 2; i >= 0; --i) {
        if (isSeparator(start[i])) {
            start.truncate(i + 1);
            break;
        }
    }
    return FolderExists(start) ? start : QDir::rootPath();
}

QString BrowseForFolder(UserPrompts& prompts, const QString& currentFolder, const QString& title)
{
    const QString chosen = prompts.chooseFolder(title, BrowseStartFolder(currentFolder));
    return WithTrailingSeparator(chosen.isEmpty() ? currentFolder : QDir::toNativeSeparators(chosen));
}
