#include "copyrun.h"

#include "filecopy.h"
#include "pathfunctions.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The file already lies in the destination. The folders are compared as the
// file system resolves them: on this system letter case makes another folder.
bool liesIn(const QString& path, const QString& destination)
{
    const QString folder = QFileInfo(path).absoluteDir().canonicalPath();
    return !folder.isEmpty() && folder == QDir(destination).canonicalPath();
}

bool sameLength(const CopySource& source, const QString& target)
{
    return CopySourceLength(source) == QFileInfo(target).size();
}

bool sameTime(const CopySource& source, const QString& target)
{
    return QFileInfo(source.Path).lastModified() == QFileInfo(target).lastModified();
}

} // namespace

CopyRun::CopyRun(QObject* parent)
    : QObject(parent)
{
    m_turn.setSingleShot(true);
    m_turn.setInterval(0);
    connect(&m_turn, &QTimer::timeout, this, &CopyRun::step);
}

void CopyRun::start(QList<CopySource> sources, QString destination, ExistingFilePolicy policy)
{
    if (m_active)
        return;
    m_sources = std::move(sources);
    m_destination = WithTrailingSeparator(destination);
    m_policy = policy;
    m_next = 0;
    m_running = true;
    m_active = true;
    emit progressChanged(0, static_cast<int>(m_sources.size()) + 1);
    m_turn.start();
}

void CopyRun::stop()
{
    m_running = false;
}

void CopyRun::step()
{
    if (!m_running || m_next >= m_sources.size()) {
        finish();
        return;
    }
    const CopySource& source = m_sources.at(m_next++);
    emit progressChanged(static_cast<int>(m_next), static_cast<int>(m_sources.size()) + 1);
    if (!liesIn(source.Path, m_destination)) {
        emit currentFileChanged(CopySourceName(source));
        // A file that cannot be copied is passed over; the run goes on.
        CopyOne(source, m_destination, m_policy);
    }
    m_turn.start();
}

bool CopyRun::CopyOne(const CopySource& source, const QString& destination, ExistingFilePolicy policy)
{
    const QString target = WithTrailingSeparator(destination) + CopySourceName(source);
    if (!EntryExists(target))
        return CopyFilePart(source, target);
    if (!FileExists(target)) // a folder of that name
        return 复制相同文件自动重命名(source, destination).Copied;
    switch (policy) {
    case ExistingFilePolicy::Skip:
        return false;
    case ExistingFilePolicy::Overwrite:
        // Replaced only once the copy is complete: a failed copy keeps the old file.
        return CopyFilePart(source, target);
    case ExistingFilePolicy::Rename:
        return 复制相同文件自动重命名(source, destination).Copied;
    case ExistingFilePolicy::SameSizeAndTime:
        if (sameLength(source, target) && sameTime(source, target))
            return CopyFilePart(source, target);
        return 复制相同文件自动重命名(source, destination).Copied;
    case ExistingFilePolicy::SameSize:
        if (sameLength(source, target))
            return CopyFilePart(source, target);
        return 复制相同文件自动重命名(source, destination).Copied;
    }
    return false;
}

void CopyRun::finish()
{
    m_running = false;
    m_active = false;
    m_sources.clear();
    emit progressChanged(0, 1);
    emit currentFileChanged(QString());
    emit finished();
}
