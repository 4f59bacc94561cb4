#include "textfunctions.h"

#include "legacytext.h"

#include <QLocale>

using namespace Qt::Literals::StringLiterals;

namespace textrules {

QString trimSpaces(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == u' ')
        ++start;
    while (end > start && text[end - 1] == u' ')
        --end;
    return text.sliced(start, end - start).toString();
}

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

qsizetype lastSeparator(QStringView path)
{
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

bool isDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace textrules

using namespace textrules;

namespace {

constexpr qsizetype kSafeNameBytes = 250;

// A trailing counter that FitFileName must keep: [n], (n) or 『n』.
qsizetype counterStart(QStringView base)
{
    static constexpr std::pair<char16_t, char16_t> kBrackets[] = {
        {u'[', u']'}, {u'(', u')'}, {u'\u300E', u'\u300F'}};
    if (base.isEmpty())
        return -1;
    for (const auto& [open, close] : kBrackets) {
        if (base.back() != QChar(close))
            continue;
        const qsizetype at = base.lastIndexOf(QChar(open));
        if (at >= 0 && isDigits(base.sliced(at + 1, base.size() - at - 2)))
            return at;
    }
    return -1;
}

// Drops the last character, keeping surrogate pairs whole.
void dropLastCharacter(QString& text)
{
    qsizetype cut = text.size() - 1;
    if (cut > 0 && text[cut].isLowSurrogate() && text[cut - 1].isHighSurrogate())
        --cut;
    text.truncate(cut);
}

} // namespace

QString SafeFileName(const QString& name)
{
    QString result;
    result.reserve(name.size());
    for (const QChar c : name) {
        switch (c.unicode()) {
        case u'\\': case u'/': case u':': case u'*': case u'?':
        case u'"': case u'<': case u'>': case u'|':
        case 13: case 10: case 0:
            continue;
        default:
            result.append(c);
        }
    }
    qsizetype start = 0;
    qsizetype end = result.size();
    while (start < end && result[start] == u'.')
        ++start;
    while (end > start && result[end - 1] == u'.')
        --end;
    result = result.sliced(start, end - start);
    result = legacytext::cutToBytes(result, kSafeNameBytes);
    return trimSpaces(result);
}

FileNameParts SplitFileName(const QString& path)
{
    QString name = trimSpaces(path);
    const qsizetype sep = lastSeparator(name);
    if (sep >= 0)
        name = name.sliced(sep + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    QString base = name;
    QString extension;
    if (dot >= 0 && name.size() - dot - 1 < 7) {
        base = name.first(dot);
        extension = name.sliced(dot + 1);
    }
    return {trimSpaces(base), trimSpaces(extension)};
}

PathParts SplitPath(const QString& path)
{
    const QString trimmed = trimSpaces(path);
    const qsizetype sep = lastSeparator(trimmed);
    const QString folder = sep >= 0 ? trimmed.first(sep + 1) : QString();
    FileNameParts parts = SplitFileName(trimmed);
    if (parts.BaseName.isEmpty()) {
        parts.BaseName = trimSpaces(sep >= 0 ? trimmed.sliced(sep + 1) : trimmed);
        parts.Extension.clear();
    }
    return {folder, parts.BaseName, parts.Extension};
}

QString FileNameFromPath(const QString& pathOrUrl, bool dropExtension)
{
    QString name = pathOrUrl;
    const qsizetype sep = lastSeparator(name);
    if (sep >= 0)
        name = trimSpaces(QStringView(name).sliced(sep + 1));
    if (dropExtension) {
        const qsizetype dot = name.lastIndexOf(u'.');
        if (dot >= 0)
            return trimSpaces(QStringView(name).first(dot));
    }
    return name;
}

NumberSuffix SplitNumberSuffix(const QString& baseName)
{
    const qsizetype open = baseName.lastIndexOf(u'[');
    const qsizetype close = baseName.lastIndexOf(u']');
    if (close >= 0 && close == baseName.size() - 1 && open >= 0 && open < close) {
        const QString number = trimSpaces(QStringView(baseName).sliced(open + 1, close - open - 1));
        const QString base = baseName.first(open);
        if (isDigits(number) && !base.isEmpty())
            return {base, number};
    }
    return {baseName, QString()};
}

QString RemoveLineBreaks(const QString& text)
{
    QString result = text;
    result.remove(u'\r').remove(u'\n').remove(QChar(0));
    return result;
}

QString FitFileName(const QString& path, qsizetype maxBytes)
{
    const qsizetype sep = lastSeparator(path);
    const QString folder = path.first(sep + 1);
    const QString name = path.sliced(sep + 1);
    if (name.toUtf8().size() <= maxBytes)
        return path;

    const qsizetype dot = name.lastIndexOf(u'.');
    QString base = dot > 0 ? name.first(dot) : name;
    QString extension = dot > 0 ? name.sliced(dot) : QString(); // with its dot
    QString counter;
    if (const qsizetype at = counterStart(base); at > 0) {
        counter = base.sliced(at);
        base.truncate(at);
    }
    const auto fits = [&] {
        return (base + counter + extension).toUtf8().size() <= maxBytes;
    };
    while (!base.isEmpty() && !fits())
        dropLastCharacter(base);
    // An absurd extension or counter on its own: give up keeping them whole.
    QString whole = base + counter + extension;
    while (whole.toUtf8().size() > maxBytes)
        dropLastCharacter(whole);
    return folder + whole;
}

QString FormatKilobytes(double kilobytes)
{
    static const QLocale grouped(QLocale::English, QLocale::UnitedStates);
    return grouped.toString(kilobytes, 'f', 1);
}
