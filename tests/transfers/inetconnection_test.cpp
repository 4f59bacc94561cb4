#include "core/programvalues.h"
#include "transfers/inetconnection.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(InetConnection, Table)
{
    struct Case {
        const char* Label;
        QString Url;
        bool Proxy;
        int Port;
        bool Https;
    };
    const Case cases[] = {
        {"plain", u"http://pubs.example.org/doi/pdf/1"_s, false, 80, false},
        {"port_8080", u"http://pubs.example.org:8080/doi/pdf/1"_s, false, 8080, false},
        {"no_slash_after_host", u"http://pubs.example.org:8080"_s, false, 80, false},
        {"port_not_numeric", u"http://pubs.example.org:x/a"_s, false, 80, false},
        {"https_capitals", u"HTTPS://pubs.example.org/doi/pdf/1"_s, false, 443, true},
        {"https_capitals_with_proxy", u"HTTPS://pubs.example.org/doi/pdf/1"_s, true, 443, true},
        {"proxy_port", u"http://pubs.example.org/doi/pdf/1"_s, true, 3128, false},
    };
    for (const Case& c : cases) {
        ProgramValues values;
        values.UseProxy = c.Proxy;
        values.ProxyAddress = u" proxy.example.org "_s;
        values.ProxyPort = u"3128"_s;
        const InetConnection connection = InetConnectionFor(c.Url, values);
        EXPECT_EQ(connection.Port, c.Port) << c.Label;
        EXPECT_EQ(connection.Https, c.Https) << c.Label;
        EXPECT_EQ(connection.UseProxy, c.Proxy) << c.Label;
        if (c.Proxy) {
            EXPECT_EQ(connection.ProxyHost, u"proxy.example.org"_s) << c.Label;
            EXPECT_EQ(connection.ProxyPort, 3128) << c.Label;
        }
    }
}

TEST(InetConnection, StateTexts)
{
    EXPECT_EQ(InetStateText(0), u"0 无状态可报告。"_s);
    EXPECT_EQ(InetStateText(3), u"3 正在与主机连接..."_s);
    EXPECT_EQ(InetStateText(11, 404, u"Not Found"_s), u"11 与主机通讯时出现了错误:404:Not Found"_s);
    EXPECT_EQ(InetStateText(12), u"12 该请求已经完成，并且所有数据均已接收到。"_s);
    EXPECT_EQ(InetStateText(40, 7, u"x"_s), u"7:x"_s);
}

} // namespace
