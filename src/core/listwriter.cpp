#include "listwriter.h"

#include <QtEndian>

template <typename T>
void ListWriter::append(T value)
{
    const qsizetype at = m_bytes.size();
    m_bytes.resize(at + qsizetype(sizeof(T)));
    qToLittleEndian<T>(value, m_bytes.data() + at);
}

void ListWriter::write(const QString& text)
{
    append<quint32>(static_cast<quint32>(text.size()));
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "texts are stored as UTF-16 little-endian units");
    m_bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

void ListWriter::write(const QStringList& texts)
{
    append<quint32>(static_cast<quint32>(texts.size()));
    for (const QString& text : texts)
        write(text);
}

void ListWriter::write(qint64 number)
{
    append<qint64>(number);
}

void ListWriter::write(qint32 number)
{
    append<qint32>(number);
}

void ListWriter::write(bool flag)
{
    m_bytes.append(flag ? '\1' : '\0');
}
