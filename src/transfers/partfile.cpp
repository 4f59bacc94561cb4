#include "partfile.h"

#include "core/pathfunctions.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kSampleHeadBytes = BodySample::kHeadBytes;
constexpr qint64 kSampleTailBytes = BodySample::kTailBytes;

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// A downloaded paper is readable by everyone the folder lets in, as any file
// the user makes; a temporary file would be private to its owner.
constexpr mode_t kFileMode = 0644;

QString partPattern(const QString& folder)
{
    return folder + u'/' + QString::fromUtf16(kPartFilePrefix) + u"XXXXXX"_s + QString::fromUtf16(kPartFileSuffix);
}

} // namespace

bool MovePartIntoPlace(const QString& part, const QString& target, bool replace)
{
    const QByteArray from = QFile::encodeName(part);
    const QByteArray to = QFile::encodeName(target);
    bool moved = false;
    if (replace) {
        moved = std::rename(from.constData(), to.constData()) == 0;
    } else {
        moved = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
        // A file system without the flag: the check and the rename are then
        // two steps, as close together as they can be.
        if (!moved && (errno == EINVAL || errno == ENOSYS) && !FileExists(target))
            moved = std::rename(from.constData(), to.constData()) == 0;
    }
    if (!moved)
        ::unlink(from.constData());
    return moved;
}

bool PartFile::open(const QString& targetPath)
{
    discard();
    m_target = targetPath;
    m_size = 0;
    m_sample = {};
    m_replaces = FileExists(targetPath);
    QByteArray part = QFile::encodeName(partPattern(QFileInfo(targetPath).absolutePath()));
    const int fd = ::mkostemps(part.data(), static_cast<int>(std::char_traits<char16_t>::length(kPartFileSuffix)),
                               O_CLOEXEC);
    if (fd < 0)
        return false;
    ::fchmod(fd, kFileMode);
    // Held until the file is closed: the lock says the body is still on its way.
    ::flock(fd, LOCK_EX | LOCK_NB);
    m_part = QFile::decodeName(part);
    m_fd = fd;
    return true;
}

bool PartFile::write(const char* data, qint64 size)
{
    if (m_fd < 0 || !writeAll(m_fd, data, size))
        return false;
    m_size += size;
    if (m_sample.Head.size() < kSampleHeadBytes)
        m_sample.Head.append(data, std::min(size, kSampleHeadBytes - m_sample.Head.size()));
    if (size >= kSampleTailBytes) {
        m_sample.Tail = QByteArray(data + size - kSampleTailBytes, kSampleTailBytes);
    } else {
        m_sample.Tail.append(data, size);
        if (m_sample.Tail.size() > kSampleTailBytes)
            m_sample.Tail.remove(0, m_sample.Tail.size() - kSampleTailBytes);
    }
    return true;
}

bool PartFile::rewind()
{
    if (m_fd < 0)
        return false;
    m_size = 0;
    m_sample = {};
    return ::ftruncate(m_fd, 0) == 0 && ::lseek(m_fd, 0, SEEK_SET) == 0;
}

bool PartFile::commit()
{
    if (m_fd < 0)
        return false;
    // Closed first: what the file system could not keep never takes the
    // target's place.
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!closed)
        ::unlink(QFile::encodeName(m_part).constData());
    const bool ok = closed && MovePartIntoPlace(m_part, m_target, m_replaces);
    m_part.clear();
    if (!ok)
        return false;
    m_sample.Length = m_size;
    return true;
}

void PartFile::discard()
{
    if (m_fd < 0)
        return;
    ::unlink(QFile::encodeName(m_part).constData());
    ::close(m_fd);
    m_fd = -1;
    m_part.clear();
    m_size = 0;
    m_sample = {};
}
