#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Appends the fields of a kept list in the program's own layout: numbers
// little-endian, texts as a 32-bit count of UTF-16 units and the units as
// they lie in memory. Written for speed: a window list of 100,000 rows is
// saved every second while it changes, which a general stream (a device call
// per field) made several times slower.
class ListWriter final {
public:
    void reserve(qsizetype bytes) { m_bytes.reserve(bytes); }

    void write(const QString& text);
    void write(const QStringList& texts);
    void write(qint64 number);
    void write(qint32 number);
    void write(bool flag);
    // Left out: a QString literal would otherwise become a bool.
    void write(const char*) = delete;

    const QByteArray& bytes() const { return m_bytes; }
    QByteArray take() { return std::move(m_bytes); }

private:
    template <typename T>
    void append(T value);

    QByteArray m_bytes;
};
