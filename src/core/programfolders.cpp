#include "programfolders.h"

#include "programnames.h"

#include <QCoreApplication>
#include <QDir>
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
