#include "citationstream.h"

#include <QDataStream>

void WriteCitation(QDataStream& out, const Citation& c)
{
    out << c.Doi << c.Authors << c.Journal << c.Year << c.Volume << c.Issue << c.Pages << c.PublicationDate
        << c.ArticleType << c.OpenAccess << c.BookChapter;
}

void ReadCitation(QDataStream& in, Citation& c)
{
    in >> c.Doi >> c.Authors >> c.Journal >> c.Year >> c.Volume >> c.Issue >> c.Pages >> c.PublicationDate
        >> c.ArticleType >> c.OpenAccess >> c.BookChapter;
}
