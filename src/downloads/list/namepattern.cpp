#include "namepattern.h"

#include "core/textfunctions.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace {

QString fieldValue(const QString& name, const QString& title, const Citation& meta)
{
    if (name == u"title"_s)
        return RemoveLineBreaks(title);
    if (name == u"author"_s)
        return meta.Authors.isEmpty() ? QString() : citationtext::surname(meta.Authors.front());
    if (name == u"authors"_s)
        return meta.Authors.join(u", "_s);
    if (name == u"year"_s)
        return meta.Year;
    if (name == u"journal"_s)
        return meta.Journal;
    if (name == u"doi"_s)
        return QString(meta.Doi).replace(u'/', u'_').replace(u'\\', u'_');
    if (name == u"volume"_s)
        return meta.Volume;
    if (name == u"pages"_s)
        return meta.Pages;
    return {};
}

} // namespace

QString NameFromPattern(const QString& pattern, const QString& title, const Citation& meta)
{
    static const QRegularExpression token(u"\\{(title|author|authors|year|journal|doi|volume|pages)\\}"_s);
    QString name;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = token.globalMatch(pattern); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        name += pattern.mid(from, match.capturedStart() - from);
        name += citationtext::oneLine(fieldValue(match.captured(1), title, meta));
        from = match.capturedEnd();
    }
    name += pattern.mid(from);
    // Twice: an empty field, and a character the file system cannot take,
    // can each leave two blanks side by side.
    static const QRegularExpression blanks(u" {2,}"_s);
    name = SafeFileName(name.replace(blanks, u" "_s).trimmed());
    return name.replace(blanks, u" "_s);
}
