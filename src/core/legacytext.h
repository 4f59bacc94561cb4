#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The program's 8-bit text form. Folder history, exported lists and the byte
// limits of names are counted in GB18030, a superset of GBK that keeps every
// character (GBK itself would turn some titles into question marks).
namespace legacytext {

QByteArray encode(QStringView text);

// Decodes strictly: bytes that are not valid GB18030 give no text at all, so a
// caller can skip a damaged line instead of storing garbage.
std::optional<QString> decode(QByteArrayView bytes);

qsizetype byteCount(QStringView text);

// The longest prefix of whole characters whose encoded form has at most
// maxBytes bytes.
QString cutToBytes(const QString& text, qsizetype maxBytes);

// Writes the lines as a text file of the program's own: GB18030, each line
// ended by CR LF, written aside and renamed so that a failed write leaves an
// earlier file whole. On failure the error text goes to *error when asked.
bool writeLines(const QString& filePath, const QStringList& lines, QString* error = nullptr);

} // namespace legacytext
