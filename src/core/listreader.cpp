#include "listreader.h"

#include <QtEndian>

bool ListReader::take(qsizetype bytes)
{
    if (m_failed || bytes > m_end - m_at) {
        m_failed = true;
        return false;
    }
    return true;
}

QString ListReader::text()
{
    if (!take(4))
        return {};
    const quint32 units = qFromLittleEndian<quint32>(m_at);
    m_at += 4;
    if (!take(qsizetype(units) * 2))
        return {};
    QString text(reinterpret_cast<const QChar*>(m_at), qsizetype(units));
    m_at += qsizetype(units) * 2;
    return text;
}

QStringList ListReader::texts()
{
    if (!take(4))
        return {};
    const quint32 count = qFromLittleEndian<quint32>(m_at);
    m_at += 4;
    // Each text takes at least its count: a larger number is damage, not a list.
    if (!take(qsizetype(count) * 4))
        return {};
    QStringList list;
    list.reserve(qsizetype(count));
    for (quint32 i = 0; i < count && ok(); ++i)
        list.append(text());
    return list;
}

qint64 ListReader::int64()
{
    if (!take(8))
        return 0;
    const qint64 value = qFromLittleEndian<qint64>(m_at);
    m_at += 8;
    return value;
}

qint32 ListReader::int32()
{
    if (!take(4))
        return 0;
    const qint32 value = qFromLittleEndian<qint32>(m_at);
    m_at += 4;
    return value;
}

bool ListReader::flag()
{
    if (!take(1))
        return false;
    const char value = *m_at++;
    if (value != 0 && value != 1)
        m_failed = true;
    return value == 1;
}
