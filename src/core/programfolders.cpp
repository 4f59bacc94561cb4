#include "programfolders.h"

#include "programnames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramDataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + u'/' + programnames::kApplication;
    QDir().mkpath(folder);
    return folder;
}

QString ProgramFolder()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString ShippedFilesFolder(const QString& executableFolder)
{
    const QDir bin(executableFolder);
    if (bin.dirName() == u"bin") {
        const QString installed = QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../share/paperpull")));
        if (QFileInfo(installed).isDir())
            return installed;
    }
    return executableFolder;
}

QString ShippedFilesFolder()
{
    return ShippedFilesFolder(ProgramFolder());
}
