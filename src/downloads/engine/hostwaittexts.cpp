#include "hostwaittexts.h"

#include "core/secondsclock.h"

#include <QTime>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

QString timeOfDay(double clockReading)
{
    const double seconds = std::fmod(std::max(std::ceil(clockReading), 0.0), kSecondsPerDay);
    return QTime(0, 0).addSecs(static_cast<int>(seconds)).toString(u"HH:mm:ss"_s);
}

} // namespace

QString HostSlowDownStatusText(const QString& host, double resumeAt)
{
    return u"网站 "_s + host + u" 要求放慢下载，"_s + timeOfDay(resumeAt) + u" 后继续"_s;
}

QString HostPausedStatusText(const QString& host, double resumeAt)
{
    return u"网站 "_s + host + u" 连续拒绝访问，暂停到 "_s + timeOfDay(resumeAt);
}

QString BulkDownloadQuestion(const QString& host, int filesInLastHour)
{
    return u"最近一小时内已从 "_s + host + u" 开始下载 "_s + QString::number(filesInLastHour)
        + u" 个文件。出版商可能因批量下载而封锁整个机构的访问。\n\n"_s
        + u"可在选项中设置“同一网站两次开始的间隔(秒)”和“每小时最多下载篇数(0为不限)”。\n\n是否继续下载？"_s;
}

QString BulkAnswerAwaitedStatusText(const QString& host)
{
    return u"等待您的回答：是否继续从 "_s + host + u" 下载"_s;
}
