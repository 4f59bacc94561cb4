#include "legacytext.h"

#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace legacytext {
namespace {

constexpr const char* kCodecName = "GB18030";

// Length of the GB18030 character that starts at bytes[at]: one byte for
// ASCII, four when the second byte is a digit, two otherwise.
qsizetype characterLength(const QByteArray& bytes, qsizetype at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80 || at + 1 >= bytes.size())
        return 1;
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return (second >= 0x30 && second <= 0x39) ? 4 : 2;
}

} // namespace

QByteArray encode(QStringView text)
{
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

std::optional<QString> decode(QByteArrayView bytes)
{
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

qsizetype byteCount(QStringView text)
{
    return encode(text).size();
}

QString cutToBytes(const QString& text, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return {};
    const QByteArray bytes = encode(text);
    if (bytes.size() <= maxBytes)
        return text;
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype next = end + characterLength(bytes, end);
        if (next > maxBytes)
            break;
        end = next;
    }
    return decode(QByteArrayView(bytes).first(end)).value_or(QString());
}

bool writeLines(const QString& filePath, const QStringList& lines, QString* error)
{
    QByteArray content;
    for (const QString& line : lines)
        content += encode(line) + "\r\n";
    QSaveFile file(filePath);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
    if (!written && error != nullptr)
        *error = file.errorString();
    return written;
}

} // namespace legacytext
