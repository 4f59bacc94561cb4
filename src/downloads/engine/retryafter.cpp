#include "retryafter.h"

#include <QLocale>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace {

std::optional<QDateTime> httpDate(const QString& text)
{
    // HTTP dates are in English whatever the user's language is.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    // The weekday is left out: a two-digit year would read as 19xx, whose
    // weekday never matches, and the date says all there is anyway.
    static const QStringList formats = {
        u"dd MMM yyyy HH:mm:ss 'GMT'"_s, // the fixed form
        u"dd-MMM-yy HH:mm:ss 'GMT'"_s,   // the older form
        u"MMM d HH:mm:ss yyyy"_s,        // the C library's form
    };
    static const QRegularExpression weekday(u"^[A-Za-z]+,? "_s);
    const QString simplified = text.simplified().remove(weekday);
    for (const QString& format : formats) {
        QDateTime when = english.toDateTime(simplified, format);
        if (!when.isValid())
            continue;
        if (format.contains(u"yy "_s) && !format.contains(u"yyyy"_s) && when.date().year() < 1970)
            when = when.addYears(100); // two-digit years are of this century
        when.setTimeSpec(Qt::UTC);
        return when;
    }
    return std::nullopt;
}

} // namespace

std::optional<double> RetryAfterSeconds(const QString& value, const QDateTime& nowUtc)
{
    const QString text = value.trimmed();
    static const QRegularExpression digits(u"^[0-9]+$"_s);
    if (digits.match(text).hasMatch()) {
        bool ok = false;
        const qlonglong seconds = text.toLongLong(&ok);
        return ok ? std::optional<double>(static_cast<double>(seconds)) : std::nullopt;
    }
    const std::optional<QDateTime> when = httpDate(text);
    if (!when)
        return std::nullopt;
    const QDateTime endOfSecond = when->addSecs(1);
    return std::max(0.0, static_cast<double>(nowUtc.msecsTo(endOfSecond)) / 1000.0);
}
