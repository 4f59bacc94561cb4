#include "listfile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;

namespace listfile {

namespace {

constexpr char kMark[8] = {'P', 'P', 'L', 'I', 'S', 'T', '\r', '\n'};
// Mark, kind, format (4), contents length (8); the checksum follows the contents.
constexpr qsizetype kHeadBytes = 8 + 4 + 4 + 8;
constexpr qsizetype kChecksumBytes = 8;

// Finds damage, not forgery: nobody has reason to forge these files. Eight
// bytes a step, each step a bijection of the state, so any one changed word
// changes the result; a cryptographic hash cost a third of a large list's save.
QByteArray checksumOf(const char* data, qsizetype size)
{
    quint64 h = 0x9e3779b97f4a7c15ULL ^ static_cast<quint64>(size);
    const auto mix = [&h](quint64 word) {
        h = (h ^ word) * 0xff51afd7ed558ccdULL;
        h ^= h >> 29;
    };
    qsizetype at = 0;
    for (; at + 8 <= size; at += 8)
        mix(qFromLittleEndian<quint64>(data + at));
    quint64 tail = 0;
    for (qsizetype i = 0; at + i < size; ++i)
        tail |= static_cast<quint64>(static_cast<uchar>(data[at + i])) << (8 * i);
    mix(tail);
    mix(h >> 17);
    QByteArray out(kChecksumBytes, Qt::Uninitialized);
    qToLittleEndian<quint64>(h, out.data());
    return out;
}

} // namespace

bool Write(const QString& path, const QByteArray& kind, quint32 format, const QByteArray& contents, QString* error)
{
    Q_ASSERT(kind.size() == 4);
    QByteArray head(kHeadBytes, Qt::Uninitialized);
    char* at = head.data();
    std::copy(std::begin(kMark), std::end(kMark), at);
    std::copy(kind.begin(), kind.end(), at + 8);
    qToLittleEndian<quint32>(format, at + 12);
    qToLittleEndian<quint64>(static_cast<quint64>(contents.size()), at + 16);

    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(head) == head.size()
        && file.write(contents) == contents.size()
        && file.write(checksumOf(contents.constData(), contents.size())) == kChecksumBytes && file.commit();
    if (!written && error != nullptr)
        *error = file.errorString();
    return written;
}

ReadResult Read(const QString& path, const QByteArray& kind, quint32 newestFormat)
{
    ReadResult result;
    QFile file(path);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.Status = ReadStatus::Unreadable;
        return result;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.Status = ReadStatus::Unreadable;
        return result;
    }
    result.Status = ReadStatus::Damaged;
    if (bytes.size() < kHeadBytes || !std::equal(std::begin(kMark), std::end(kMark), bytes.constData())
        || QByteArrayView(bytes.constData() + 8, 4) != kind)
        return result;
    result.Format = qFromLittleEndian<quint32>(bytes.constData() + 12);
    // A newer program may lay out its contents (and even its checksum) its
    // own way: the format number alone says so, whatever follows.
    if (result.Format > newestFormat) {
        result.Status = ReadStatus::Newer;
        return result;
    }
    const quint64 length = qFromLittleEndian<quint64>(bytes.constData() + 16);
    if (length != static_cast<quint64>(bytes.size() - kHeadBytes - kChecksumBytes) || result.Format == 0)
        return result;
    const char* contents = bytes.constData() + kHeadBytes;
    if (checksumOf(contents, static_cast<qsizetype>(length))
        != QByteArrayView(contents + length, kChecksumBytes))
        return result;
    bytes.remove(bytes.size() - kChecksumBytes, kChecksumBytes);
    bytes.remove(0, kHeadBytes);
    result.Contents = std::move(bytes);
    result.Status = ReadStatus::Loaded;
    return result;
}

QString SetAside(const QString& path)
{
    const QString stem = path + u".damaged-"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    QString target = stem;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = stem + u'-' + QString::number(n);
    if (QFile::rename(path, target))
        return target;
    // A file the program may not rename (a read-only folder entry) may still be copied.
    // What stays behind after a copy is overwritten by the next save; the copy keeps it.
    if (QFile::copy(path, target)) {
        QFile::remove(path);
        return target;
    }
    return {};
}

} // namespace listfile
