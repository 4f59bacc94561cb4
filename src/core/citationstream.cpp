#include "citationstream.h"

#include "listreader.h"
#include "listwriter.h"

void WriteCitation(ListWriter& out, const Citation& c)
{
    out.write(c.Doi);
    out.write(c.Authors);
    for (const QString* field : {&c.Journal, &c.Year, &c.Volume, &c.Issue, &c.Pages, &c.PublicationDate,
                                 &c.ArticleType})
        out.write(*field);
    out.write(c.OpenAccess);
    out.write(c.BookChapter);
}

Citation ReadCitation(ListReader& in)
{
    Citation c;
    c.Doi = in.text();
    c.Authors = in.texts();
    for (QString* field : {&c.Journal, &c.Year, &c.Volume, &c.Issue, &c.Pages, &c.PublicationDate, &c.ArticleType})
        *field = in.text();
    c.OpenAccess = in.flag();
    c.BookChapter = in.flag();
    return c;
}
