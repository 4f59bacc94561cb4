#include "botcheck.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

// What the check's page carries whatever its language: its title, the path of
// its script, and the options object that script reads.
constexpr std::array<QByteArrayView, 3> kMarkers{
    QByteArrayView("Just a moment..."),
    QByteArrayView("/cdn-cgi/challenge-platform/"),
    QByteArrayView("_cf_chl_opt"),
};

} // namespace

bool IsBotCheckAnswer(int status, QByteArrayView bodyHead)
{
    if (status != 403 && status != 503)
        return false;
    for (const QByteArrayView marker : kMarkers) {
        if (bodyHead.contains(marker))
            return true;
    }
    return false;
}

bool IsBotCheckTitle(const QString& title)
{
    return title.trimmed().compare(u"Just a moment..."_s, Qt::CaseInsensitive) == 0;
}
