#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads what ListWriter wrote. A read past the end, a text count the rest
// cannot hold or a flag other than 0 and 1 marks the reader failed; every
// read after that gives empty values, so a caller checks ok() once per row.
class ListReader final {
public:
    explicit ListReader(const QByteArray& bytes) : m_at(bytes.constData()), m_end(m_at + bytes.size()) {}

    QString text();
    QStringList texts();
    qint64 int64();
    qint32 int32();
    bool flag();

    bool ok() const { return !m_failed; }
    bool atEnd() const { return m_at == m_end; }
    qsizetype remaining() const { return m_end - m_at; }

private:
    bool take(qsizetype bytes);

    const char* m_at;
    const char* m_end;
    bool m_failed = false;
};
