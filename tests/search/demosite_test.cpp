// The demo site is what tools/demo and the end-to-end tests stand on: its
// pages must read with the program's own rules, and its server must keep the
// papers for signed-in readers as a journal site does.

#include "search/analysislist.h"
#include "search/extraction.h"
#include "search/htmlsnapshot.h"
#include "search/loginform.h"
#include "support/demosite.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kSite = QStringLiteral(PAPERPULL_FIXTURES "/site");

struct Answer {
    int Status = 0;
    QByteArray Head; // status line and headers
    QByteArray Body;
};

// One request, as raw as a test wants it (extra header lines included).
Answer get(DemoSite& site, const QString& target, const QByteArray& extraHeaders = {})
{
    QTcpSocket socket;
    socket.connectToHost(u"127.0.0.1"_s, site.server().port());
    QByteArray whole;
    if (!socket.waitForConnected(2000))
        return {};
    socket.write("GET " + target.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders + "\r\n");
    // The server answers in the event loop of this thread: wait on it, not on the socket.
    QTest::qWaitFor([&] {
        whole += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    }, 10000);
    whole += socket.readAll();
    const qsizetype end = whole.indexOf("\r\n\r\n");
    Answer answer{0, whole.left(end), whole.mid(end + 4)};
    answer.Status = whole.mid(9, 3).toInt();
    return answer;
}

QByteArray cookieOf(const Answer& answer)
{
    for (const QByteArray& line : answer.Head.split('\n')) {
        if (line.toLower().startsWith("set-cookie:"))
            return line.mid(11).trimmed().split(';').front();
    }
    return {};
}

class DemoSiteTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.listen()); }

    // Reads the page at target as the search window would, following the next
    // links; returns the pages' addresses.
    QStringList walk(const QString& target, AnalysisList& list)
    {
        QStringList pages;
        QString address = site.url(target);
        while (!address.isEmpty() && pages.size() < 10) {
            pages.append(address);
            const Answer answer = get(site, QUrl(address).toString(QUrl::RemoveScheme | QUrl::RemoveAuthority));
            EXPECT_EQ(answer.Status, 200) << address.toStdString();
            const DomSnapshot page = SnapshotFromHtml(answer.Body, address);
            EXPECT_GT(ExtractPage(page, {}, list), 0) << address.toStdString();
            const int next = FindNextLink(page);
            address = next >= 0 ? page.element(next)->Href : QString();
        }
        return pages;
    }

    DemoSite site{kSite};
};

TEST_F(DemoSiteTest, EveryLayoutReadsThreePagesOfPapersTheSiteHas)
{
    const struct {
        const char* Label;
        QString Start;
        int Pages;
        int Papers;
        QString Source;
    } cases[] = {
        {"current", u"/action/doSearch?AllField=catalysis"_s, 3, 9, u"ACS"_s},
        {"articlebox", u"/layouts/articlebox-1.html"_s, 3, 6, u"ACS"_s},
        {"chapterbox", u"/layouts/chapterbox-1.html"_s, 3, 6, u"ACSbook"_s},
        {"resultlist", u"/layouts/resultlist-1.html"_s, 3, 6, u"ACS"_s},
        {"issue", u"/toc/jdemo-4-1.html"_s, 1, 3, u"ACS"_s},
    };
    for (const auto& c : cases) {
        AnalysisList list;
        EXPECT_EQ(walk(c.Start, list).size(), c.Pages) << c.Label;
        ASSERT_EQ(list.count(), c.Papers) << c.Label;
        for (const AnalysisRecord& record : list.records()) {
            EXPECT_EQ(record.Source, c.Source) << c.Label;
            EXPECT_EQ(record.FileType, u"pdf"_s) << c.Label;
            // The address leads to a paper of the catalogue, under its own title.
            QString doi = QUrl(record.ArticleUrl).path().section(u"/doi/pdf/"_s, 1);
            if (doi.endsWith(u".pdf"_s))
                doi.chop(4);
            ASSERT_TRUE(site.papers().contains(doi)) << c.Label << " " << record.ArticleUrl.toStdString();
            EXPECT_EQ(site.papers().value(doi).Title, record.Title) << c.Label;
        }
    }
}

TEST_F(DemoSiteTest, PapersAreForSignedInReadersOnly)
{
    const QString paper = u"/doi/pdf/10.1021/jacs.5c01001"_s;
    const Answer before = get(site, paper);
    EXPECT_EQ(before.Status, 200);
    EXPECT_TRUE(before.Head.contains("text/html"));
    EXPECT_TRUE(before.Body.contains("/action/showLogin"));

    // The sign-in page fills and submits with the program's own rules.
    const Answer form = get(site, u"/action/showLogin"_s);
    const DomSnapshot login = SnapshotFromHtml(form.Body, site.url(u"/action/showLogin"_s));
    const LoginFormPlan plan = PlanAccountLogin(login, u"demo"_s, u"demo"_s);
    EXPECT_EQ(plan.Fills.size(), 2u);
    EXPECT_GE(plan.SubmitIndex, 0);
    EXPECT_GE(IpLoginButton(login), 0);

    const struct {
        const char* Label;
        QString Target;
        bool SignsIn;
    } logins[] = {
        {"account", u"/action/doLogin?username=demo&password=demo"_s, true},
        {"wrong_password", u"/action/doLogin?username=demo&password=guess"_s, false},
        {"ip", u"/action/ipLogin"_s, true},
    };
    for (const auto& l : logins) {
        const QByteArray cookie = cookieOf(get(site, l.Target));
        EXPECT_EQ(!cookie.isEmpty(), l.SignsIn) << l.Label;
        if (cookie.isEmpty())
            continue;
        const Answer after = get(site, paper, "Cookie: " + cookie + "\r\n");
        EXPECT_EQ(after.Status, 200) << l.Label;
        EXPECT_TRUE(after.Head.contains("application/pdf")) << l.Label;
        EXPECT_TRUE(after.Body.startsWith("%PDF-1.4")) << l.Label;
        EXPECT_TRUE(after.Body.trimmed().endsWith("%%EOF")) << l.Label;
        EXPECT_TRUE(after.Body.contains("(Total Synthesis of Vinigrol by Radical Cyclization) Tj")) << l.Label;
    }
}

TEST_F(DemoSiteTest, TheLargePaperAndTheBotCheck)
{
    const QByteArray member = cookieOf(get(site, u"/action/ipLogin"_s));
    ASSERT_FALSE(member.isEmpty());
    const Answer large = get(site, u"/doi/pdf/10.1021/jacs.5c01005"_s, "Cookie: " + member + "\r\n");
    EXPECT_GE(large.Body.size(), DemoSite::kLargeSize);
    EXPECT_GT(large.Body.size(), 10 * 1024 * 1024); // above the program's default limit
    EXPECT_TRUE(large.Body.startsWith("%PDF-"));

    const QString guarded = u"/doi/pdf/10.1021/jdemo.4c00901"_s;
    const struct {
        const char* Label;
        QByteArray Headers;
        int Status;
    } cases[] = {
        {"signed_in_plain_client", "Cookie: " + member + "\r\n", 403},
        {"cleared_plain_client", "Cookie: " + member + "; demo_clearance=passed\r\n", 403},
        {"browser_without_clearance", "Cookie: " + member + "\r\nSec-Fetch-Mode: navigate\r\n", 403},
        {"cleared_browser", "Cookie: " + member + "; demo_clearance=passed\r\nSec-Fetch-Mode: navigate\r\n", 200},
    };
    for (const auto& c : cases) {
        const Answer answer = get(site, guarded, c.Headers);
        EXPECT_EQ(answer.Status, c.Status) << c.Label;
        if (c.Status == 403) {
            EXPECT_TRUE(answer.Body.contains("<title>Just a moment...</title>")) << c.Label;
            EXPECT_TRUE(answer.Body.contains("/cdn-cgi/challenge-platform/")) << c.Label;
        }
    }
    // Nothing outside the pages is served: not the catalogue, not a path out of the folder.
    EXPECT_EQ(get(site, u"/articles.tsv"_s).Status, 404);
    EXPECT_EQ(get(site, u"/../CMakeLists.txt"_s).Status, 404);
    EXPECT_EQ(get(site, u"/%2e%2e/%2e%2e/pages/gbk.html"_s).Status, 404);
}

} // namespace
