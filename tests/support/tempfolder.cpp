#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempFolder::TempFolder() = default;

QString TempFolder::filePath(const QString& relative) const
{
    return m_dir.filePath(relative);
}

QString TempFolder::writeFile(const QString& relative, const QByteArray& content) const
{
    const QString path = filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

QString TempFolder::makeFolder(const QString& relative) const
{
    const QString path = filePath(relative);
    QDir().mkpath(path);
    return path;
}
