#pragma once

#include <QString>

#include <optional>

// One entry file of the browser's disk cache ("<16 hex>_0" in the cache folder):
// a 24-byte little-endian header (magic, version, key length, key hash, pad),
// the key, the body, an end record for the body, the response headers, an
// optional hash of the key and an end record for the headers.
struct CacheEntryHead {
    QString FilePath;
    QString Key;
    QString Url;         // the address the key names
    bool IsPost = false; // the key carries an upload number
    qint64 KeyLength = 0;
    qint64 FileSize = 0;
};

// The header and key of an entry file; nullopt when the file is not one (too
// short for its header, another magic number, a key that runs past the end).
std::optional<CacheEntryHead> ReadCacheEntryHead(const QString& filePath);

// Where the body starts and how long it is, from the end records; nullopt when
// they are missing or do not add up (an entry cut short, or still being written).
struct CacheEntryBody {
    qint64 Offset = 0;
    qint64 Size = 0;
};
std::optional<CacheEntryBody> ReadCacheEntryBody(const QString& filePath, qint64 keyLength);

// The address a key names: "1/0/<url>" (a second number other than 0 marks a
// POST), "1/0/_dk_<site> <site> <url>" (the address is the last word), or a
// bare address as older caches wrote it.
QString UrlFromCacheKey(const QString& key, bool* isPost = nullptr);

// "0123456789abcdef_0": the name of an entry's main file.
bool IsCacheEntryFileName(const QString& fileName);

inline constexpr quint64 kCacheEntryMagic = 0xfcfb6d1ba7725c30ULL;
inline constexpr quint64 kCacheEndMagic = 0xf4fa6f45970d41d8ULL;
inline constexpr qint64 kCacheHeaderSize = 24;
inline constexpr qint64 kCacheEndRecordSize = 24;
