#pragma once

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <utility>

// The status line and header block of one response, as the server sent them.
struct HttpResponseHead {
    int Status = 0;
    QByteArray Reason;                                 // the reason phrase after the code
    QList<std::pair<QByteArray, QByteArray>> Headers;  // names as sent, values trimmed, in order
    QUrl Url;                                          // the address that answered (after redirects)

    // The last value of a header, by name in any letter case; empty when absent.
    QByteArray header(QByteArrayView name) const
    {
        for (auto it = Headers.crbegin(); it != Headers.crend(); ++it) {
            if (QByteArrayView(it->first).compare(name, Qt::CaseInsensitive) == 0)
                return it->second;
        }
        return {};
    }

    // Content-Length when it is a number of at least 1, else 0: a missing,
    // empty, zero or non-numeric length gives the body no known size.
    qint64 announcedLength() const
    {
        bool numeric = false;
        const qint64 length = header("content-length").trimmed().toLongLong(&numeric);
        return numeric && length > 0 ? length : 0;
    }
};
