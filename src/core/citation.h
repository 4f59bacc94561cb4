#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// What a result page shows about one article besides its title and address.
// Every field is the page's own text (labels such as "Vol." taken off); a field
// the page does not show stays empty, never a guess.
struct Citation {
    QString Doi;
    QStringList Authors;     // in the order the page lists them, as written there
    QString Journal;
    QString Year;            // four digits
    QString Volume;
    QString Issue;
    QString Pages;           // "123-130", "e2024001", ...
    QString PublicationDate; // as the page shows it: "January 3, 2024"
    QString ArticleType;     // "Article", "Communication", ...
    bool OpenAccess = false;
    bool BookChapter = false; // from a book's chapter list rather than a journal

    bool isEmpty() const
    {
        return Doi.isEmpty() && Authors.isEmpty() && Journal.isEmpty() && Year.isEmpty() && Volume.isEmpty()
            && Issue.isEmpty() && Pages.isEmpty() && PublicationDate.isEmpty() && ArticleType.isEmpty()
            && !OpenAccess;
    }
    friend bool operator==(const Citation&, const Citation&) = default;
};

// One work as the citation files list it.
struct CitedArticle {
    QString Title;
    QString Url;
    Citation Meta;

    friend bool operator==(const CitedArticle&, const CitedArticle&) = default;
};

namespace citationtext {

// The surname of a name as written: the part before a comma ("Smith, J."),
// else the last word ("Jane Q. Smith"); "" for an empty name.
QString surname(const QString& author);

// First and last page of "123-130" (any dash); the last is empty for a single
// page or an article number.
std::pair<QString, QString> pageRange(const QString& pages);

// "2024/01/03" from a shown date such as "January 3, 2024" or "Jan 3, 2024";
// empty when the text is not such a date.
QString isoLikeDate(const QString& shownDate, QChar separator = u'/');

// Line breaks and runs of blanks become one space: every format here is one
// value per line.
QString oneLine(const QString& text);

} // namespace citationtext
