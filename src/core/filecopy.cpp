#include "filecopy.h"

#include "pathfunctions.h"
#include "textfunctions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kBufferBytes = 1 << 20;

} // namespace

qint64 CopySourceLength(const CopySource& source)
{
    const QFileInfo info(source.Path);
    if (!info.isFile() || source.Offset < 0 || source.Offset > info.size())
        return -1;
    const qint64 rest = info.size() - source.Offset;
    if (source.Length < 0)
        return rest;
    return source.Length <= rest ? source.Length : -1;
}

QString CopySourceName(const CopySource& source)
{
    return source.Name.isEmpty() ? QFileInfo(source.Path).fileName() : source.Name;
}

bool CopyFilePart(const CopySource& source, const QString& target)
{
    qint64 remaining = CopySourceLength(source);
    if (remaining < 0)
        return false;
    QFile in(source.Path);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(source.Offset))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray buffer(static_cast<qsizetype>(std::min(remaining, kBufferBytes)), Qt::Uninitialized);
    while (remaining > 0) {
        const qint64 got = in.read(buffer.data(), std::min(remaining, kBufferBytes));
        if (got <= 0 || out.write(buffer.constData(), got) != got) {
            out.cancelWriting();
            out.commit();
            return false;
        }
        remaining -= got;
    }
    if (!out.commit())
        return false;
    QFile copied(target);
    if (copied.open(QIODevice::ReadOnly))
        copied.setFileTime(QFileInfo(source.Path).lastModified(), QFileDevice::FileModificationTime);
    return true;
}

NumberedCopy 复制相同文件自动重命名(const CopySource& source, const QString& destinationFolder)
{
    if (!FileExists(source.Path))
        return {};
    const PathParts parts = SplitPath(CopySourceName(source));
    const QString base = SplitNumberSuffix(parts.BaseName).BaseName;
    const QString folder = WithTrailingSeparator(destinationFolder);
    const auto nameFor = [&](const QString& stem) {
        return parts.Extension.isEmpty() ? stem : stem + u'.' + parts.Extension;
    };
    QString name = nameFor(base);
    for (qint64 n = 1; EntryExists(folder + name); ++n)
        name = nameFor(base + u'[' + QString::number(n).rightJustified(3, u'0') + u']');
    if (!CopyFilePart(source, folder + name))
        return {false, name};
    return {true, name};
}
