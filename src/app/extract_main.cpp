// paperpull-extract: reads saved result pages the way the search window reads
// the pages it shows, and prints one record per line.

#include "search/analysislist.h"
#include "search/extraction.h"
#include "search/htmlsnapshot.h"
#include "search/recordcitations.h"

#include "core/bibtexformat.h"
#include "core/risformat.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kRanFine = 0;
constexpr int kNothingFound = 1;
constexpr int kBadInput = 2;

const QString kUsage = u"usage: paperpull-extract [--url ADDRESS] [--only-checked] [--format tsv|ris|bibtex|json] FILE...\n"
                       "Prints Title, ArticleUrl, PageUrl, FileType and Source of every article on\n"
                       "the saved result pages, tab-separated, then \"next<TAB>address\" for a page\n"
                       "that links to a next page. ADDRESS is the page's address on the site (links\n"
                       "are resolved against it); without it, against the file itself.\n"
                       "--format ris or bibtex prints the articles' citations instead; json prints\n"
                       "{\"records\": [...], \"next\": [...]} with every field of each record.\n"_s;

enum class Format { Tsv, Ris, BibTex, Json };

std::optional<Format> formatNamed(const QString& name)
{
    if (name == u"tsv"_s)
        return Format::Tsv;
    if (name == u"ris"_s)
        return Format::Ris;
    if (name == u"bibtex"_s)
        return Format::BibTex;
    if (name == u"json"_s)
        return Format::Json;
    return std::nullopt;
}

QJsonObject recordJson(const AnalysisRecord& r)
{
    const Citation& c = r.Meta;
    return QJsonObject{
        {u"title"_s, r.Title}, {u"articleUrl"_s, r.ArticleUrl}, {u"pageUrl"_s, r.PageUrl},
        {u"fileType"_s, r.FileType}, {u"source"_s, r.Source}, {u"doi"_s, c.Doi},
        {u"authors"_s, QJsonArray::fromStringList(c.Authors)}, {u"journal"_s, c.Journal}, {u"year"_s, c.Year},
        {u"volume"_s, c.Volume}, {u"issue"_s, c.Issue}, {u"pages"_s, c.Pages},
        {u"publicationDate"_s, c.PublicationDate}, {u"articleType"_s, c.ArticleType},
        {u"openAccess"_s, c.OpenAccess}, {u"bookChapter"_s, c.BookChapter}};
}

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
    Format format = Format::Tsv;
    QStringList files;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--url"_s && i + 1 < args.size()) {
            address = args[++i];
        } else if (args[i] == u"--format"_s && i + 1 < args.size()) {
            const std::optional<Format> named = formatNamed(args[++i]);
            if (!named) {
                err << u"paperpull-extract: unknown format "_s << args[i] << u"\n"_s << kUsage;
                return kBadInput;
            }
            format = *named;
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
    QJsonArray nextLinks;
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
        printed += list.count() - before;
        if (format != Format::Tsv) {
            if (const int next = FindNextLink(page); next >= 0)
                nextLinks.append(page.element(next)->Href);
            continue;
        }
        for (int row = before; row < list.count(); ++row) {
            const AnalysisRecord& r = *list.at(row);
            out << field(r.Title) << u'\t' << r.ArticleUrl << u'\t' << r.PageUrl << u'\t' << r.FileType << u'\t'
                << r.Source << u'\n';
        }
        if (const int next = FindNextLink(page); next >= 0)
            out << u"next\t"_s << page.element(next)->Href << u'\n';
    }
    switch (format) {
    case Format::Tsv:
        break;
    case Format::Ris:
        out << RisText(CitationsOf(list));
        break;
    case Format::BibTex:
        out << BibTexText(CitationsOf(list));
        break;
    case Format::Json: {
        QJsonArray records;
        for (const AnalysisRecord& r : list.records())
            records.append(recordJson(r));
        out << QString::fromUtf8(QJsonDocument(QJsonObject{{u"records"_s, records}, {u"next"_s, nextLinks}})
                                     .toJson(QJsonDocument::Indented));
        break;
    }
    }
    out.flush();
    if (leftOut > 0)
        err << u"paperpull-extract: left out "_s << leftOut << u" hidden "_s << (leftOut == 1 ? u"entry"_s : u"entries"_s)
            << Qt::endl;
    return printed > 0 ? kRanFine : kNothingFound;
}
