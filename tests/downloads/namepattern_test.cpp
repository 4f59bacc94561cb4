#include "downloads/list/namepattern.h"
#include "downloads/list/savenaming.h"

#include "core/legacytext.h"

#include "support/tempfolder.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

Citation fullCitation()
{
    Citation c;
    c.Authors = {u"Jürgen Müller"_s, u"Smith, Ann"_s};
    c.Year = u"2024"_s;
    c.Journal = u"J. Ex. Chem."_s;
    c.Doi = u"10.1021/jacs.4c01234/suppl"_s;
    c.Volume = u"146"_s;
    c.Pages = u"1234–1240"_s;
    return c;
}

TEST(NamePattern, Table)
{
    const Citation full = fullCitation();
    const Citation none;
    const struct {
        const char* Label;
        QString Pattern;
        QString Title;
        const Citation& Meta;
        QString Name;
    } cases[] = {
        {"every_field", u"{year} {author} {title}"_s, u"Ring Expansion"_s, full, u"2024 Müller Ring Expansion"_s},
        {"all_authors_journal_volume_pages", u"{authors} - {journal} {volume}, {pages}"_s, u"t"_s, full,
         u"Jürgen Müller, Smith, Ann - J. Ex. Chem. 146, 1234–1240"_s},
        {"doi_slashes_made_safe", u"{doi}"_s, u"t"_s, full, u"10.1021_jacs.4c01234_suppl"_s},
        {"missing_fields_leave_no_double_spaces", u"{year} {author} {title}"_s, u"Only Title"_s, none,
         u"Only Title"_s},
        {"missing_in_the_middle", u"{title} {volume} {year}"_s, u"T"_s, none, u"T"_s},
        {"unknown_field_stays", u"{title} {issue}"_s, u"T"_s, full, u"T {issue}"_s},
        {"line_breaks_in_title", u"{title}"_s, u"Two\r\nLines"_s, none, u"TwoLines"_s},
        {"characters_a_name_cannot_hold", u"{title}"_s, u"a/b:c*?"_s, none, u"abc"_s},
        {"removed_characters_leave_no_double_spaces", u"{title} {year}"_s, u"a / b"_s, full, u"a b 2024"_s},
        {"nothing_at_all", u"{author} {year}"_s, u""_s, none, u""_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameFromPattern(c.Pattern, c.Title, c.Meta), c.Name) << c.Label;
}

// A long title still fits the 8-bit limit of names, and the save step cuts the
// path to what the file system takes and numbers a name already taken.
TEST(NamePattern, LongNamesAndDuplicatesGoThroughTheSaveRules)
{
    const QString longTitle = QString(u"長"_s).repeated(400);
    const QString name = NameFromPattern(u"{year} {title}"_s, longTitle, fullCitation());
    EXPECT_LE(legacytext::byteCount(name), 250);
    EXPECT_TRUE(name.startsWith(u"2024 長"_s));

    TempFolder folder;
    const SavePath first = MakeSavePath(folder.path(), name, u"pdf"_s, DuplicatePolicy::Rename);
    EXPECT_LE(QFileInfo(first.Path).fileName().toUtf8().size(), 255);
    QFile taken(first.Path);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    const SavePath second = MakeSavePath(folder.path(), name, u"pdf"_s, DuplicatePolicy::Rename);
    EXPECT_NE(second.Path, first.Path);
    EXPECT_TRUE(second.Name.endsWith(u"[001]"_s)) << second.Name.toStdString();
    EXPECT_LE(QFileInfo(second.Path).fileName().toUtf8().size(), 255);
}

} // namespace
