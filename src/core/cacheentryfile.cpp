#include "cacheentryfile.h"

#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;

namespace {

// A key longer than this is not a real one: the engine refuses addresses far shorter.
constexpr qint64 kLongestKey = 1 << 20;
constexpr quint32 kEndHasKeyHash = 1U << 1;
constexpr qint64 kKeyHashSize = 32;

struct EndRecord {
    quint32 Flags = 0;
    qint64 StreamSize = 0;
};

std::optional<EndRecord> readEndRecord(QFile& file, qint64 offset)
{
    if (offset < 0 || !file.seek(offset))
        return std::nullopt;
    const QByteArray bytes = file.read(kCacheEndRecordSize);
    if (bytes.size() != kCacheEndRecordSize || qFromLittleEndian<quint64>(bytes.constData()) != kCacheEndMagic)
        return std::nullopt;
    return EndRecord{qFromLittleEndian<quint32>(bytes.constData() + 8),
                     static_cast<qint64>(qFromLittleEndian<quint32>(bytes.constData() + 16))};
}

} // namespace

std::optional<CacheEntryHead> ReadCacheEntryHead(const QString& filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 fileSize = file.size();
    const QByteArray header = file.read(kCacheHeaderSize);
    if (header.size() != kCacheHeaderSize || qFromLittleEndian<quint64>(header.constData()) != kCacheEntryMagic)
        return std::nullopt;
    const qint64 keyLength = qFromLittleEndian<quint32>(header.constData() + 12);
    if (keyLength == 0 || keyLength > kLongestKey || kCacheHeaderSize + keyLength > fileSize)
        return std::nullopt;
    const QByteArray key = file.read(keyLength);
    if (key.size() != keyLength)
        return std::nullopt;

    CacheEntryHead head;
    head.FilePath = filePath;
    head.Key = QString::fromUtf8(key);
    head.Url = UrlFromCacheKey(head.Key, &head.IsPost);
    head.KeyLength = keyLength;
    head.FileSize = fileSize;
    return head;
}

std::optional<CacheEntryBody> ReadCacheEntryBody(const QString& filePath, qint64 keyLength)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 fileSize = file.size();
    // The headers' end record closes the file; the body's stands before the headers.
    const auto headersEnd = readEndRecord(file, fileSize - kCacheEndRecordSize);
    if (!headersEnd)
        return std::nullopt;
    const qint64 keyHash = (headersEnd->Flags & kEndHasKeyHash) ? kKeyHashSize : 0;
    const qint64 bodyEndAt = fileSize - kCacheEndRecordSize - keyHash - headersEnd->StreamSize - kCacheEndRecordSize;
    const qint64 bodyOffset = kCacheHeaderSize + keyLength;
    if (bodyEndAt < bodyOffset)
        return std::nullopt;
    const auto bodyEnd = readEndRecord(file, bodyEndAt);
    if (!bodyEnd || bodyEnd->StreamSize != bodyEndAt - bodyOffset)
        return std::nullopt;
    return CacheEntryBody{bodyOffset, bodyEndAt - bodyOffset};
}

QString UrlFromCacheKey(const QString& key, bool* isPost)
{
    static const QRegularExpression prefix(u"^(\\d+)/(\\d+)/"_s);
    if (isPost != nullptr)
        *isPost = false;
    const QRegularExpressionMatch match = prefix.match(key);
    if (!match.hasMatch())
        return key;
    if (isPost != nullptr)
        *isPost = match.capturedView(2) != u"0"_s;
    QString rest = key.sliced(match.capturedLength());
    // A key split by the site that loaded it lists the sites first; the address is last.
    if (rest.startsWith(u"_dk_"_s))
        rest = rest.sliced(rest.lastIndexOf(u' ') + 1);
    return rest;
}

bool IsCacheEntryFileName(const QString& fileName)
{
    static const QRegularExpression name(u"^[0-9a-f]{16}_0$"_s);
    return name.match(fileName).hasMatch();
}
