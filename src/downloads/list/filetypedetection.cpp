#include "filetypedetection.h"

#include "downloadtask.h"

#include "core/leftoverfiles.h"
#include "core/pathfunctions.h"
#include "core/textfunctions.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <vector>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kHeadBytes = 10240;
constexpr qint64 kTailBytes = 128;
constexpr qint64 kWebPageLimit = 200 * 1024;
constexpr qint64 kWholeReadLimit = 3 * 1024;

// The first bytes of the file with one zero past them, as the checks expect. A
// check may look at positions 0..lastPosition() only; asking for more means
// the file is too short to say anything.
class Head {
public:
    explicit Head(QByteArray bytes) : m_bytes(std::move(bytes)) { m_bytes.append('\0'); }

    qsizetype lastPosition() const { return m_bytes.size() - 1; }

    // nullopt when the bytes would run past the last position.
    std::optional<bool> matches(qsizetype offset, QByteArrayView expected) const
    {
        if (offset + expected.size() - 1 > lastPosition())
            return std::nullopt;
        return QByteArrayView(m_bytes).sliced(offset, expected.size()) == expected;
    }

    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

struct SignaturePart {
    qsizetype At;
    QByteArray Bytes;
};

struct Signature {
    QString Type;
    std::vector<SignaturePart> Parts;
};

template <qsizetype N>
SignaturePart at(qsizetype offset, const char (&bytes)[N])
{
    return {offset, QByteArray(bytes, N - 1)}; // N - 1: the literal's own ending zero is not part of it
}

// Checked in order; the first match names the type. Every part of a row is
// read before the row is judged, so a file too short for any part of a row
// ends the detection.
const std::vector<Signature>& signatures()
{
    static const std::vector<Signature> table = {
        {u"pdf"_s, {at(0, "%PDF")}},
        {u"caj"_s, {at(0, "\xC8\x00\x00\x00")}},
        {u"caj"_s, {at(0, "CAJ\x00")}},
        {u"kdh"_s, {at(0, "KDH ")}},
        {u"nh"_s, {at(0, "HN\x00\x00")}},
        {u"tif"_s, {at(0, "II\x2A\x00")}},
        {u"rtf"_s, {at(0, "{\\rtf")}},
        {u"exe"_s, {at(0, "MZ")}},
        {u"rar"_s, {at(0, "Rar!")}},
        {u"zip"_s, {at(0, "PK\x03\x04\x14\x00\x00\x00\x08")}},
        {u"docx"_s, {at(0, "PK\x03\x04\x14\x00\x06\x00\x08\x00")}},
        {u"swf"_s, {at(0, "CWS\x06")}},
        {u"rm"_s, {at(0, ".RMF")}},
        {u"wma"_s, {at(0, "\x30\x26\xB2\x75\x8E")}},
        {u"mp3"_s, {at(0, "ID3\x03")}},
        {u"png"_s, {at(0, "\x89PNG\x0D\x0A\x1A\x0A")}},
        {u"gif"_s, {at(0, "GIF891\x04")}},
        {u"jpg"_s, {at(0, "\xFF\xD8\xFF\xE1"), at(6, "Exif"), at(12, "MM"), at(14, "\x00\x2A")}},
        {u"jpg"_s, {at(0, "\xFF\xD8\xFF\xE0\x00\x10"), at(6, "JFIF")}},
    };
    return table;
}

// nullopt: the file is too short for a check, so nothing can be said.
std::optional<QString> typeFromSignatures(const Head& head)
{
    for (const Signature& signature : signatures()) {
        bool all = true;
        for (const SignaturePart& p : signature.Parts) {
            const std::optional<bool> part = head.matches(p.At, p.Bytes);
            if (!part)
                return std::nullopt;
            all = all && *part;
        }
        if (all)
            return signature.Type;
    }
    // Office documents share one container; the sector after the header tells them apart.
    const std::optional<bool> ole = head.matches(0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    if (!ole)
        return std::nullopt;
    if (*ole) {
        const std::optional<bool> doc = head.matches(512, QByteArrayView("\xEC\xA5\xC1\x00", 4));
        if (!doc)
            return std::nullopt;
        if (*doc)
            return u"doc"_s;
        if (*head.matches(512, QByteArrayView("\x09\x08\x10\x00", 4)))
            return u"xls"_s;
        const std::optional<bool> ppt = head.matches(515, "\xF0");
        if (!ppt)
            return std::nullopt;
        if (*ppt)
            return u"ppt"_s;
    }
    return QString();
}

bool containsAnyCase(const QByteArray& text, const char* marker)
{
    return text.contains(QByteArray(marker)); // text is lower-cased by the caller
}

bool looksLikeWebPage(const QByteArray& head)
{
    const QByteArray text = head.toLower();
    return (containsAnyCase(text, "<html ") || containsAnyCase(text, "html>"))
        && (containsAnyCase(text, "<title>") || containsAnyCase(text, "<head>") || containsAnyCase(text, "<body>"));
}

bool looksLikeCaa(const QByteArray& whole)
{
    const QByteArray text = whole.toLower();
    for (const char* marker : {"a1=", "[target]", "a2=", "b1=", "b2=", "c1=", "c2=", "d1=", "d2=", "doctype="}) {
        if (!text.contains(marker))
            return false;
    }
    return true;
}

} // namespace

QString DetectFileTypeFromSample(const QByteArray& head, const QByteArray& tail, qint64 length)
{
    const Head first(head.left(kHeadBytes));
    const std::optional<QString> signatureType = typeFromSignatures(first);
    if (!signatureType)
        return {};
    if (!signatureType->isEmpty())
        return *signatureType;

    if (length > kTailBytes && tail.right(kTailBytes).startsWith("TAG"))
        return u"mp3"_s;
    if (length < kWebPageLimit && looksLikeWebPage(first.bytes()))
        return u"htm"_s;
    if (length < kWholeReadLimit && looksLikeCaa(head.left(kWholeReadLimit)))
        return u"caa"_s;
    return {};
}

QString DetectFileType(const QString& path)
{
    // Only regular files are read: a pipe or a device would block or never end.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    const qint64 length = file.size();
    const QByteArray head = file.read(std::min(length, kHeadBytes));
    QByteArray tail;
    if (length > kTailBytes && file.seek(length - kTailBytes))
        tail = file.read(kTailBytes);
    return DetectFileTypeFromSample(head, tail, length);
}

bool CorrectTaskFileType(DownloadTask& task)
{
    return CorrectTaskFileType(task, DetectFileType(TaskFilePath(task)));
}

bool CorrectTaskFileType(DownloadTask& task, const QString& detected)
{
    const QString path = TaskFilePath(task);
    // A name claim a killed run left is no paper of any type.
    if (!FileExists(path) || IsLeftNameClaim(path))
        return false;
    if (detected.isEmpty() || detected.compare(task.Type, Qt::CaseInsensitive) == 0)
        return false;
    // A counter can push a name that just fitted past the file system's limit.
    const QString target = FitFileName(NextNumberedName(FitFileName(task.Folder + task.Name + u'.' + detected)));
    if (FileExists(target) || !QFile::rename(path, target) || !FileExists(target))
        return false;
    task.Type = detected;
    task.Name = SplitFileName(target).BaseName;
    return true;
}
