#pragma once

#include "core/cacheentryfile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtEndian>

// Writes browser cache entry files in the engine's layout, whole or broken on
// purpose, for the tests and the benchmark.
struct CacheEntrySpec {
    QByteArray Key;
    QByteArray Body;
    QByteArray Headers = "HTTP/1.1 200 OK\0Content-Type: application/pdf\0\0";
    bool KeyHash = true;
    quint64 Magic = kCacheEntryMagic;
    qint64 KeyLengthField = -1; // -1: the key's real length
    qint64 CutTo = -1;          // keep only this many bytes of the file
};

inline QByteArray CacheEndRecord(quint32 flags, qint64 streamSize)
{
    QByteArray record(kCacheEndRecordSize, '\0');
    qToLittleEndian<quint64>(kCacheEndMagic, record.data());
    qToLittleEndian<quint32>(flags, record.data() + 8);
    qToLittleEndian<quint32>(0x12345678, record.data() + 12); // a checksum nobody reads
    qToLittleEndian<quint32>(static_cast<quint32>(streamSize), record.data() + 16);
    return record;
}

inline QByteArray CacheEntryBytes(const CacheEntrySpec& spec)
{
    QByteArray bytes(kCacheHeaderSize, '\0');
    qToLittleEndian<quint64>(spec.Magic, bytes.data());
    qToLittleEndian<quint32>(5, bytes.data() + 8);
    const qint64 keyLength = spec.KeyLengthField >= 0 ? spec.KeyLengthField : spec.Key.size();
    qToLittleEndian<quint32>(static_cast<quint32>(keyLength), bytes.data() + 12);
    qToLittleEndian<quint32>(0xabcdef01, bytes.data() + 16);
    bytes += spec.Key;
    bytes += spec.Body;
    bytes += CacheEndRecord(1, spec.Body.size());
    bytes += spec.Headers;
    if (spec.KeyHash)
        bytes += QByteArray(32, '\x5a');
    bytes += CacheEndRecord(spec.KeyHash ? 3 : 1, spec.Headers.size());
    if (spec.CutTo >= 0)
        bytes.truncate(spec.CutTo);
    return bytes;
}

// The entry file "<name>" in folder; returns its path.
inline QString WriteCacheEntry(const QString& folder, const QString& name, const CacheEntrySpec& spec)
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(CacheEntryBytes(spec));
    return path;
}

// A name of the engine's form for entry number n.
inline QString CacheEntryName(quint64 n)
{
    return QStringLiteral("%1_0").arg(n, 16, 16, QLatin1Char('0'));
}
