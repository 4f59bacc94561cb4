#include "support/demosite.h"

#include "support/articlepdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::Literals::StringLiterals;
using Route = TestHttpServer::Route;

namespace {

constexpr char kMemberCookie[] = "demo_member=yes";
constexpr char kDemoClearanceCookie[] = "demo_clearance=passed";

bool hasCookie(const TestHttpServer::Request& request, const char* cookie)
{
    for (const QByteArray& part : request.Headers.value("cookie").split(';')) {
        if (part.trimmed() == cookie)
            return true;
    }
    return false;
}

// What a browser sends and a plain HTTP client does not: the check lets only
// the browser through, as the real one does.
bool fromABrowser(const TestHttpServer::Request& request)
{
    if (request.Headers.contains("sec-ch-ua"))
        return true;
    for (auto it = request.Headers.begin(); it != request.Headers.end(); ++it) {
        if (it.key().startsWith("sec-fetch-"))
            return true;
    }
    return false;
}

} // namespace

DemoSite::DemoSite(QString siteFolder)
    : m_folder(std::move(siteFolder))
{
    QFile catalogue(m_folder + u"/articles.tsv"_s);
    if (catalogue.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : catalogue.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() < 2 || line.startsWith('#'))
                continue;
            const QByteArray flags = fields.value(2).trimmed();
            m_papers.insert(QString::fromUtf8(fields[0].trimmed()),
                            Paper{QString::fromUtf8(fields[1].trimmed()), flags == "large", flags == "botcheck"});
        }
    }
    m_server.setHandler([this](const TestHttpServer::Request& request) { return answer(request); });
}

void DemoSite::setPace(int bytes, int milliseconds)
{
    m_paceBytes = bytes;
    m_paceMs = milliseconds;
}

Route DemoSite::file(const QString& relative, int status) const
{
    // Only files inside the site folder, whatever the address says.
    const QString root = QDir(m_folder).canonicalPath();
    const QString path = QFileInfo(root + u'/' + relative).canonicalFilePath();
    QFile page(path);
    if (root.isEmpty() || !path.startsWith(root + u'/') || !page.open(QIODevice::ReadOnly)) {
        QFile missing(root + u"/notfound.html"_s);
        missing.open(QIODevice::ReadOnly);
        return Route{.Status = 404, .Body = missing.readAll(), .ContentType = "text/html; charset=utf-8"};
    }
    const bool script = path.endsWith(u".js"_s);
    return Route{.Status = status,
                 .Body = page.readAll(),
                 .ContentType = script ? "text/javascript" : "text/html; charset=utf-8"};
}

Route DemoSite::paper(const QString& doi, const TestHttpServer::Request& request)
{
    const auto found = m_papers.constFind(doi);
    if (found == m_papers.constEnd())
        return file(u"notfound.html"_s, 404);
    if (found->BotCheck && !(hasCookie(request, kDemoClearanceCookie) && fromABrowser(request)))
        return file(u"botcheck.html"_s, 403);
    if (!hasCookie(request, kMemberCookie))
        return file(u"signin-required.html"_s); // a page where the paper would be, as the site does
    QByteArray& pdf = m_pdfs[doi];
    if (pdf.isEmpty())
        pdf = ArticlePdf(found->Title, found->Large ? kLargeSize : 0);
    return Route{.Body = pdf, .ContentType = "application/pdf", .DripBytes = m_paceBytes, .DripMs = m_paceMs};
}

std::optional<Route> DemoSite::answer(const TestHttpServer::Request& request)
{
    const QUrl target(QString::fromUtf8(request.Target));
    const QString path = target.path();
    const QUrlQuery query(target);

    for (const QString& view : {u"/doi/pdf/"_s, u"/doi/epdf/"_s}) {
        if (path.startsWith(view)) {
            QString doi = path.sliced(view.size());
            if (doi.endsWith(u".pdf"_s, Qt::CaseInsensitive)) // download-style addresses of older pages
                doi.chop(4);
            return paper(doi, request);
        }
    }
    if (path.startsWith(u"/doi/abs/"_s) || (path.startsWith(u"/doi/10."_s))) {
        const QString doi = path.sliced(path.startsWith(u"/doi/abs/"_s) ? 9 : 5);
        if (!m_papers.contains(doi))
            return file(u"notfound.html"_s, 404);
        Route abstract = file(u"abstract.html"_s);
        abstract.Body.replace("{{title}}", m_papers.value(doi).Title.toHtmlEscaped().toUtf8());
        abstract.Body.replace("{{doi}}", doi.toHtmlEscaped().toUtf8());
        return abstract;
    }
    if (path == u"/action/doSearch"_s) {
        const int page = std::clamp(query.queryItemValue(u"startPage"_s).toInt(), 0, 2);
        return file(u"search/results-"_s + QString::number(page + 1) + u".html"_s);
    }
    if (path == u"/action/showLogin"_s)
        return file(u"login.html"_s);
    if (path == u"/action/doLogin"_s) {
        const bool known = query.queryItemValue(u"username"_s).trimmed() == QLatin1StringView(kAccount)
            && query.queryItemValue(u"password"_s) == QLatin1StringView(kPassword);
        if (!known)
            return file(u"login-failed.html"_s);
        Route welcome = file(u"signed-in.html"_s);
        welcome.SetCookie = QByteArray(kMemberCookie) + "; Path=/; Max-Age=86400";
        return welcome;
    }
    if (path == u"/action/ipLogin"_s) {
        Route welcome = file(u"signed-in.html"_s);
        welcome.SetCookie = QByteArray(kMemberCookie) + "; Path=/; Max-Age=86400";
        return welcome;
    }
    if (path == u"/action/doLogout"_s) {
        Route bye = file(u"signed-out.html"_s);
        bye.SetCookie = "demo_member=; Path=/; Max-Age=0";
        return bye;
    }
    if (path == u"/"_s)
        return file(u"index.html"_s);
    // The pages and their scripts; the catalogue and anything else stay private.
    if (path.endsWith(u".html"_s) || path.endsWith(u".js"_s))
        return file(path.sliced(1));
    return file(u"notfound.html"_s, 404);
}
