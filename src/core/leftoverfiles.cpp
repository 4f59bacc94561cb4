#include "leftoverfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char kOldNameClaim[] = {'\x01', '\x00'};

// A part file whose lock can be taken is held by nobody.
bool isAbandoned(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

} // namespace

bool IsPartFileName(const QString& fileName)
{
    return fileName.startsWith(QString::fromUtf16(kPartFilePrefix))
        && fileName.endsWith(QString::fromUtf16(kPartFileSuffix));
}

QString FreePartFilePath(const QString& folder)
{
    for (;;) {
        const QString path = folder + u'/' + QString::fromUtf16(kPartFilePrefix)
            + QString::number(QRandomGenerator::global()->generate64(), 36) + QString::fromUtf16(kPartFileSuffix);
        if (!QFileInfo::exists(path))
            return path;
    }
}

bool IsLeftNameClaim(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink() || info.size() != static_cast<qint64>(sizeof kOldNameClaim))
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == QByteArray(kOldNameClaim, sizeof kOldNameClaim);
}

int RemoveLeftoverFiles(const QString& folder)
{
    if (folder.isEmpty())
        return 0;
    int removed = 0;
    const QDir dir(folder);
    // Claims have exactly two bytes: only those few are opened.
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::System);
    for (const QFileInfo& file : files) {
        const QString path = file.absoluteFilePath();
        const bool leftover = IsPartFileName(file.fileName()) ? isAbandoned(path) : IsLeftNameClaim(path);
        if (leftover && QFile::remove(path))
            ++removed;
    }
    return removed;
}
