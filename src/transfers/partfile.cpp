#include "partfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kSampleHeadBytes = 10240;
constexpr qint64 kSampleTailBytes = 128;

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

} // namespace

bool PartFile::open(const QString& targetPath, QByteArrayView placeholder)
{
    discard();
    m_target = targetPath;
    m_size = 0;
    m_sample = {};
    m_placeholder = placeholder.toByteArray();
    const QByteArray target = QFile::encodeName(targetPath);
    // O_EXCL: a name some other task or program took in the meantime is
    // never written over.
    int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
    if (fd >= 0) {
        m_inPlace = true;
        if (!m_placeholder.isEmpty()
            && (!writeAll(fd, m_placeholder.constData(), m_placeholder.size()) || ::lseek(fd, 0, SEEK_SET) != 0)) {
            ::close(fd);
            ::unlink(target.constData());
            return false;
        }
        m_fd = fd;
        return true;
    }
    if (errno != EEXIST)
        return false;
    // A short name of its own: the target's name may already be as long as
    // the file system allows.
    QByteArray part = QFile::encodeName(QFileInfo(targetPath).absolutePath() + u"/.paperpull-XXXXXX.part"_s);
    fd = ::mkostemps(part.data(), 5, O_CLOEXEC);
    if (fd < 0)
        return false;
    ::fchmod(fd, kFileMode);
    m_inPlace = false;
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
    if (m_inPlace && !m_placeholder.isEmpty()) {
        // The placeholder stays on view until the new body overwrites it.
        return ::lseek(m_fd, 0, SEEK_SET) == 0 && ::pwrite(m_fd, m_placeholder.constData(), m_placeholder.size(), 0)
            == m_placeholder.size() && ::ftruncate(m_fd, m_placeholder.size()) == 0;
    }
    return ::ftruncate(m_fd, 0) == 0 && ::lseek(m_fd, 0, SEEK_SET) == 0;
}

bool PartFile::commit()
{
    if (m_fd < 0)
        return false;
    // A body shorter than the placeholder must not keep the placeholder's tail.
    bool ok = ::ftruncate(m_fd, m_size) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    if (ok && !m_inPlace)
        ok = std::rename(QFile::encodeName(m_part).constData(), QFile::encodeName(m_target).constData()) == 0;
    if (!ok) {
        if (!m_inPlace)
            ::unlink(QFile::encodeName(m_part).constData());
        else if (m_placeholder.isEmpty())
            ::unlink(QFile::encodeName(m_target).constData());
        return false;
    }
    m_part.clear();
    m_sample.Length = m_size;
    return true;
}

void PartFile::discard()
{
    if (m_fd < 0)
        return;
    if (!m_inPlace) {
        ::close(m_fd);
        ::unlink(QFile::encodeName(m_part).constData());
    } else if (!m_placeholder.isEmpty()) {
        // The name stays claimed, as it was before the body came.
        if (::pwrite(m_fd, m_placeholder.constData(), m_placeholder.size(), 0) == m_placeholder.size())
            static_cast<void>(::ftruncate(m_fd, m_placeholder.size()));
        ::close(m_fd);
    } else {
        ::close(m_fd);
        ::unlink(QFile::encodeName(m_target).constData());
    }
    m_fd = -1;
    m_part.clear();
    m_size = 0;
    m_sample = {};
}
