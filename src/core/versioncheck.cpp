#include "versioncheck.h"

#include "programnames.h"
#include "textfunctions.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {

// a * 10000000 + b * 10000 + c, in whole numbers: in single precision two
// versions past 1.6.x could no longer be told apart.
qint64 versionValue(qint64 major, qint64 minor, qint64 revision)
{
    return major * 10000000 + minor * 10000 + revision;
}

} // namespace

QString VersionFileAddress(const QString& server)
{
    return server + programnames::kApplication + u"/newver.txt"_s;
}

QString ProgramPageAddress(const QString& server)
{
    return server + programnames::kApplication + u'/';
}

std::optional<QString> NewerVersionNotice(const QString& answer, const ProgramVersion& running)
{
    const QString text = textrules::trimSpaces(answer);
    if (text.isEmpty() || text.size() >= 11)
        return std::nullopt;
    const QStringList parts = text.split(u'.');
    if (parts.size() != 3)
        return std::nullopt;
    qint64 numbers[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toLongLong(&ok);
        if (!ok || parts[i].trimmed().isEmpty())
            return std::nullopt;
    }
    const qint64 remote = versionValue(numbers[0], numbers[1], numbers[2]);
    const qint64 local = versionValue(running.Major, running.Minor, running.Revision);
    if (remote <= local)
        return std::nullopt;
    return u"有最新版本：V"_s + text;
}
