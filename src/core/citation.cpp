#include "citation.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace citationtext {

QString surname(const QString& author)
{
    const QString name = oneLine(author);
    if (const qsizetype comma = name.indexOf(u','); comma >= 0)
        return name.first(comma).trimmed();
    const qsizetype space = name.lastIndexOf(u' ');
    return space < 0 ? name : name.sliced(space + 1);
}

std::pair<QString, QString> pageRange(const QString& pages)
{
    static const QRegularExpression dash(u"\\s*[-\u2010\u2011\u2012\u2013\u2014\u2212]+\\s*"_s);
    const QString text = oneLine(pages);
    const QStringList parts = text.split(dash, Qt::SkipEmptyParts);
    if (parts.size() == 2)
        return {parts[0], parts[1]};
    return {text, QString()};
}

QString isoLikeDate(const QString& shownDate, QChar separator)
{
    const QString text = oneLine(shownDate);
    const QLocale english = QLocale::c();
    const QString formats[] = {u"MMMM d, yyyy"_s, u"MMM d, yyyy"_s, u"d MMMM yyyy"_s, u"d MMM yyyy"_s,
                               u"yyyy-MM-dd"_s};
    for (const QString& format : formats) {
        const QDate date = english.toDate(text, format);
        if (date.isValid())
            return date.toString(u"yyyy"_s + separator + u"MM"_s + separator + u"dd"_s);
    }
    return {};
}

QString oneLine(const QString& text)
{
    return text.simplified();
}

} // namespace citationtext
