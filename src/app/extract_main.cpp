// paperpull-extract: reads saved result pages the way the search window reads
// the pages it shows, and prints one record per line.

#include "search/analysislist.h"
#include "search/extraction.h"
#include "search/htmlsnapshot.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kRanFine = 0;
constexpr int kNothingFound = 1;
constexpr int kBadInput = 2;

const QString kUsage = u"usage: paperpull-extract [--url ADDRESS] [--only-checked] FILE...\n"
                       "Prints Title, ArticleUrl, PageUrl, FileType and Source of every article on\n"
                       "the saved result pages, tab-separated, then \"next<TAB>address\" for a page\n"
                       "that links to a next page. ADDRESS is the page's address on the site (links\n"
                       "are resolved against it); without it, against the file itself.\n"_s;

// One record per line, whatever the title holds.
QString field(QString text)
{
    text.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString address;
    bool onlyChecked = false;
    QStringList files;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--url"_s && i + 1 < args.size()) {
            address = args[++i];
        } else if (args[i] == u"--only-checked"_s) {
            onlyChecked = true;
        } else if (args[i] == u"--help"_s || args[i] == u"-h"_s) {
            out << kUsage;
            return kRanFine;
        } else if (args[i].startsWith(u"--"_s)) {
            err << u"paperpull-extract: unknown option "_s << args[i] << u"\n"_s << kUsage;
            return kBadInput;
        } else {
            files.append(args[i]);
        }
    }
    if (files.isEmpty()) {
        err << kUsage;
        return kBadInput;
    }

    AnalysisList list;
    int printed = 0;
    int leftOut = 0;
    for (const QString& path : files) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            err << u"paperpull-extract: cannot read "_s << path << u": "_s
                << (QFileInfo::exists(path) ? file.errorString() : u"no such file"_s) << Qt::endl;
            return kBadInput;
        }
        const QString pageUrl =
            address.isEmpty() ? QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString() : address;
        const DomSnapshot page = SnapshotFromHtml(file.readAll(), pageUrl);
        const int before = list.count();
        ExtractPage(page, {onlyChecked, QString(), &leftOut}, list);
        for (int row = before; row < list.count(); ++row) {
            const AnalysisRecord& r = *list.at(row);
            out << field(r.Title) << u'\t' << r.ArticleUrl << u'\t' << r.PageUrl << u'\t' << r.FileType << u'\t'
                << r.Source << u'\n';
            ++printed;
        }
        if (const int next = FindNextLink(page); next >= 0)
            out << u"next\t"_s << page.element(next)->Href << u'\n';
    }
    out.flush();
    if (leftOut > 0)
        err << u"paperpull-extract: left out "_s << leftOut << u" hidden "_s << (leftOut == 1 ? u"entry"_s : u"entries"_s)
            << Qt::endl;
    return printed > 0 ? kRanFine : kNothingFound;
}
