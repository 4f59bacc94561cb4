#include "transfers/curllayer.h"
#include "transfers/xmlhttp.h"
#include "support/tempfolder.h"
#include "support/testhttpserver.h"

#include <QFile>
#include <QNetworkCookieJar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

class XmlHttpTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listen()); }

    // Sends and waits for the request to be done; returns the events in order.
    QStringList run(const QString& method, const QString& target, const QString& saveFile)
    {
        QStringList events;
        QObject::connect(&request, &uXMLHTTP::DataArrived, [&] { events.append(u"arrived"_s); });
        QObject::connect(&request, &uXMLHTTP::OnDateErr, [&](const QString& d) { events.append(u"error:"_s + d); });
        request.Open_(method, server.url(target), saveFile);
        request.SetRequestHeader(u"X-Test"_s, u"1"_s);
        request.Send_();
        EXPECT_TRUE(QTest::qWaitFor([&] { return request.DownOK(); }, 5000));
        QTest::qWait(1);
        request.disconnect();
        return events;
    }

    QByteArray contents(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    TestHttpServer server;
    CurlLayer layer;
    QNetworkCookieJar jar;
    uXMLHTTP request{NetworkContext{&layer, &jar, u"PaperpullTest"_s}};
    TempFolder temp;
};

TEST_F(XmlHttpTest, SuccessSavesTheBodyOverAnExistingFile)
{
    server.route("/version.txt", Route{.Body = "1.2.3", .ContentType = "text/plain; charset=utf-8"});
    const QString file = temp.writeFile(u"version.txt"_s, "old contents");
    QSignalSpy states(&request, &uXMLHTTP::OnReadyStateChange);
    EXPECT_EQ(run(u"get"_s, u"/version.txt"_s, file), QStringList{u"arrived"_s});
    EXPECT_EQ(contents(file), "1.2.3");
    EXPECT_EQ(request.Status(), 200);
    EXPECT_EQ(request.ReadyState(), 4);
    EXPECT_EQ(request.ResponseText(), u"1.2.3"_s);
    EXPECT_EQ(request.GetResponseHeader(u"content-type"_s), u"text/plain; charset=utf-8"_s);
    EXPECT_TRUE(request.GetAllResponseHeaders().contains(u"Content-Length: 5"_s));
    EXPECT_GE(states.count(), 2);
    ASSERT_FALSE(server.requests.isEmpty());
    EXPECT_EQ(server.requests.last().Method, "GET"); // the method is sent upper-cased
    EXPECT_EQ(server.requests.last().Headers.value("x-test"), "1");
}

TEST_F(XmlHttpTest, EmptyBodyLeavesAnExistingFileAlone)
{
    server.route("/empty", Route{.Body = ""});
    const QString file = temp.writeFile(u"kept.txt"_s, "kept");
    EXPECT_EQ(run(u"GET"_s, u"/empty"_s, file), QStringList{u"arrived"_s});
    EXPECT_EQ(contents(file), "kept");
}

TEST_F(XmlHttpTest, StatusesOtherThan200)
{
    server.route("/gone", Route{.Status = 500, .Body = "x", .ContentType = "text/plain"});
    server.route("/odd", Route{.Status = 599, .Body = "x", .ContentType = "text/plain"});
    const QString file = temp.filePath(u"missing.txt"_s);
    EXPECT_EQ(run(u"GET"_s, u"/nothing-here"_s, file), QStringList{u"error:没有发现文件?查询或URl"_s});
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(run(u"GET"_s, u"/gone"_s, file), QStringList{u"error:服务器产生内部错误"_s});
    EXPECT_EQ(run(u"GET"_s, u"/odd"_s, file), QStringList{u"error:"_s}); // a code the table lacks
}

TEST_F(XmlHttpTest, DescriptionsAndStatusesOutOfRange)
{
    EXPECT_EQ(uXMLHTTP::StatusDescription(404), u"没有发现文件?查询或URl"_s);
    EXPECT_EQ(uXMLHTTP::StatusDescription(200), u"交易成功"_s);
    EXPECT_EQ(uXMLHTTP::StatusDescription(999), u""_s);
    server.route("/strange", Route{.Status = 999, .Body = "x", .ContentType = "text/plain"});
    EXPECT_TRUE(run(u"GET"_s, u"/strange"_s, {}).isEmpty()); // no event...
    EXPECT_TRUE(request.DownOK());                           // ...but done
}

TEST_F(XmlHttpTest, AbortEndsWithoutEvent)
{
    server.route("/slow", Route{.Body = QByteArray(100000, 'x'), .DripBytes = 100, .DripMs = 50});
    QStringList events;
    QObject::connect(&request, &uXMLHTTP::DataArrived, [&] { events.append(u"arrived"_s); });
    QObject::connect(&request, &uXMLHTTP::OnDateErr, [&](const QString&) { events.append(u"error"_s); });
    request.Open_(u"GET"_s, server.url(u"/slow"_s), {});
    request.Send_();
    QTest::qWait(100);
    request.Abort_();
    QTest::qWait(100);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_FALSE(request.DownOK());
}

} // namespace
