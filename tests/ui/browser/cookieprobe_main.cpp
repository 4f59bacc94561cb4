// A second run of the program's cookie handling, for the restart tests: loads
// the cookie file as the program does at start, then fetches one address the
// way a transfer does and prints what it sent and got:
//   cookie <name>=<value>   for each cookie the jar has for the address
//   status <code>
//   body <first bytes>
// "--at <ISO date>" reads the file as at that moment.
#include "downloads/engine/cookiefile.h"
#include "downloads/engine/programcookiejar.h"
#include "transfers/curllayer.h"
#include "transfers/networkcontext.h"
#include "transfers/xmlhttp.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    ProgramCookieJar jar;
    const int at = static_cast<int>(args.indexOf(QStringLiteral("--at")));
    if (at >= 0 && at + 1 < args.size()) {
        const QDateTime moment = QDateTime::fromString(args.at(at + 1), Qt::ISODate);
        jar.setClock([moment] { return moment; });
        args.remove(at, 2);
    }
    if (args.size() != 1)
        return 2;
    jar.attachFile(CookieFilePath());
    const QUrl url(args.first());
    QTextStream out(stdout);
    for (const QNetworkCookie& cookie : jar.cookiesForUrl(url))
        out << "cookie " << cookie.name() << '=' << cookie.value() << '\n';

    CurlLayer layer;
    uXMLHTTP request(NetworkContext{&layer, &jar, QStringLiteral("PaperpullProbe")});
    const auto report = [&] {
        out << "status " << request.Status() << '\n';
        out << "body " << request.ResponseBody().left(4) << '\n';
        out.flush();
        app.quit();
    };
    QObject::connect(&request, &uXMLHTTP::DataArrived, &app, report);
    QObject::connect(&request, &uXMLHTTP::OnDateErr, &app, report);
    request.Open_(QStringLiteral("GET"), url.toString(), QString());
    request.Send_();
    return app.exec();
}
