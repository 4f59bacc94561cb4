#include "partfile.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>

using namespace Qt::Literals::StringLiterals;

bool PartFile::open(const QString& targetPath)
{
    discard();
    // A short name of its own: the target's name may already be as long as
    // the file system allows.
    auto file = std::make_unique<QTemporaryFile>(QFileInfo(targetPath).absolutePath() + u"/.paperpull-XXXXXX.part"_s);
    file->setAutoRemove(false);
    if (!file->open())
        return false;
    // A temporary file is private to its owner; a downloaded paper is not.
    file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                         | QFileDevice::ReadOther);
    m_file = std::move(file);
    m_target = targetPath;
    m_size = 0;
    return true;
}

bool PartFile::write(const char* data, qint64 size)
{
    if (!m_file || m_file->write(data, size) != size)
        return false;
    m_size += size;
    return true;
}

bool PartFile::commit()
{
    if (!m_file)
        return false;
    const QString part = m_file->fileName();
    const bool flushed = m_file->flush();
    m_file->close();
    m_file.reset();
    std::error_code error;
    if (flushed)
        std::filesystem::rename(QFile::encodeName(part).toStdString(), QFile::encodeName(m_target).toStdString(), error);
    if (!flushed || error) {
        QFile::remove(part);
        return false;
    }
    return true;
}

void PartFile::discard()
{
    if (!m_file)
        return;
    const QString part = m_file->fileName();
    m_file->close();
    m_file.reset();
    QFile::remove(part);
}
