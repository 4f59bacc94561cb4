#pragma once

// Lets GoogleTest print Qt values readably in failure messages. Included into
// every test source by the build (see tests/support/CMakeLists.txt).

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
    *os << '}';
}

inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << 'x' << r.height() << ')';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << "bytes(" << bytes.size() << "): " << bytes.left(64).toHex().toStdString();
}
