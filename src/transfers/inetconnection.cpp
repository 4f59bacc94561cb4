#include "inetconnection.h"

#include "core/programvalues.h"
#include "core/textfunctions.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

InetConnection InetConnectionFor(const QString& url, const ProgramValues& values)
{
    InetConnection c;
    if (values.UseProxy) {
        c.UseProxy = true;
        c.ProxyHost = values.ProxyAddress.trimmed();
        c.ProxyPort = values.ProxyPort.trimmed().toInt();
        c.Port = c.ProxyPort;
    } else {
        // From the ninth character up to the first "/" at or after it: the host,
        // with a port when one is written.
        c.Port = 80;
        const qsizetype slash = url.indexOf(u'/', 8);
        if (slash >= 9) {
            const QStringList parts = url.sliced(8, slash - 8).split(u':');
            if (parts.size() == 2 && textrules::isDigits(parts[1].trimmed()))
                c.Port = parts[1].trimmed().toInt();
        }
    }
    if (url.startsWith(u"https://"_s, Qt::CaseInsensitive)) {
        c.Https = true;
        c.Port = 443;
    }
    return c;
}

QString InetStateText(int state, int responseCode, const QString& responseText)
{
    switch (state) {
    case 0: return u"0 无状态可报告。"_s;
    case 1: return u"1 正在查询所指定的主机的 IP 地址..."_s;
    case 2: return u"2 已成功地找到所指定的主机的 IP 地址。"_s;
    case 3: return u"3 正在与主机连接..."_s;
    case 4: return u"4 已与主机连接成功。"_s;
    case 5: return u"5 正在向主机发送请求..."_s;
    case 6: return u"6 发送请求已成功。"_s;
    case 7: return u"7 正在接收主机的响应..."_s;
    case 8: return u"8 已成功地接收到主机的响应。"_s;
    case 9: return u"9 正在解除与主机的连接..."_s;
    case 10: return u"10 已成功地与主机解除了连接。"_s;
    case 11:
        return u"11 与主机通讯时出现了错误:"_s + QString::number(responseCode) + u':' + responseText;
    case 12: return u"12 该请求已经完成，并且所有数据均已接收到。"_s;
    default: return QString::number(responseCode) + u':' + responseText;
    }
}
