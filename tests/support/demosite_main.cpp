// paperpull-demosite: serves the demo site on 127.0.0.1 until it is stopped,
// for tools/demo and for trying the program without an account on the real
// site. Prints the site's address on the first line of its output.

#include "support/demosite.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QString folder = QStringLiteral(PAPERPULL_DEMO_SITE);
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--site"_s && i + 1 < args.size()) {
            folder = args[++i];
        } else {
            std::fputs("usage: paperpull-demosite [--site FOLDER]\n"
                       "Serves the demo site on a free port of 127.0.0.1 and prints its address.\n",
                       args[i] == u"--help"_s ? stdout : stderr);
            return args[i] == u"--help"_s ? 0 : 2;
        }
    }
    DemoSite site(folder);
    if (site.papers().isEmpty()) {
        std::fprintf(stderr, "paperpull-demosite: no papers in %s/articles.tsv\n", qPrintable(folder));
        return 1;
    }
    if (!site.listen()) {
        std::fputs("paperpull-demosite: cannot listen on 127.0.0.1\n", stderr);
        return 1;
    }
    std::printf("%s\n", qPrintable(site.url(u"/"_s)));
    std::fflush(stdout);
    return app.exec();
}
