#pragma once

#include <QString>

// The media type of a Content-Type header value, parameters dropped.
QString ParseContentType(const QString& headerValue);

// The file-type word for a media type ("application/pdf" -> "pdf"). Empty for
// octet-stream; the input unchanged for an unknown type or a value without
// exactly one "/"; the family itself ("image") for an empty or "*" subtype.
// A caller takes the result as a task's type only when it is not empty and
// holds no "/".
QString ContentTypeToExt(const QString& mediaType);
