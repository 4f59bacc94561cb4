#include "citationfile.h"

#include "bibtexformat.h"
#include "risformat.h"

#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

std::optional<CitationFormat> CitationFormatOfFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"bib"_s)
        return CitationFormat::BibTex;
    if (suffix == u"ris"_s)
        return CitationFormat::Ris;
    return std::nullopt;
}

bool WriteCitationFile(const QString& path, const std::vector<CitedArticle>& articles, CitationFormat format,
                       QString* error)
{
    const QByteArray content = (format == CitationFormat::BibTex ? BibTexText(articles) : RisText(articles)).toUtf8();
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
    if (!written && error != nullptr)
        *error = file.errorString();
    return written;
}
