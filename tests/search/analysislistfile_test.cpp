#include "search/analysislistfile.h"
#include "search/analysistablemodel.h"

#include "core/listfile.h"
#include "support/recordingprompts.h"
#include "support/tempfolder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

AnalysisList variedList()
{
    AnalysisList list;
    Citation full;
    full.Doi = u"10.1021/jacs.3c01234"_s;
    full.Authors = {u"Zoë Müller"_s, u"李 华"_s, u"O'Brien, {J.}"_s};
    full.Journal = u"J. Am. Chem. Soc."_s;
    full.Year = u"2024"_s;
    full.Volume = u"146"_s;
    full.Issue = u"3"_s;
    full.Pages = u"1234–1240"_s;
    full.PublicationDate = u"January 3, 2024"_s;
    full.ArticleType = u"Communication"_s;
    full.OpenAccess = true;
    Citation chapter;
    chapter.BookChapter = true;
    chapter.Pages = u"1-20"_s;
    list.AddAnalysisRecord(u"Catalysis «neu»"_s, u"https://pubs.example.org/doi/10.1021/jacs.3c01234"_s,
                           u"https://pubs.example.org/action/doSearch?q=x"_s, u"pdf"_s, u"/data/论文/"_s, u"ACS"_s,
                           full);
    list.AddAnalysisRecord(u"A chapter"_s, u"https://pubs.example.org/doi/10.1021/bk-2020-1"_s, {}, u"htm"_s, {},
                           u"ACSbook"_s, chapter);
    list.AddAnalysisRecord(u"No citation"_s, u"https://pubs.example.org/doi/abs/x"_s, {}, u"pdf"_s, {}, u"ACS"_s);
    list.at(0)->AnalysisState = QString::fromUtf16(kAnalysisSucceeded);
    list.at(1)->AnalysisState = QString::fromUtf16(kAnalysisFailed);
    list.at(1)->Selected = true;
    return list;
}

TEST(AnalysisListFile, EveryFieldAndTheCitationComeBack)
{
    const AnalysisList list = variedList();
    const std::optional<AnalysisList> back = analysislistfile::Decode(analysislistfile::Encode(list));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->records(), list.records());
    EXPECT_TRUE(back->contains(u"https://pubs.example.org/doi/abs/x"_s));

    const QByteArray bytes = analysislistfile::Encode(list);
    EXPECT_FALSE(analysislistfile::Decode(bytes.chopped(1)));
    EXPECT_FALSE(analysislistfile::Decode(bytes, analysislistfile::kFormat + 1));
}

TEST(AnalysisListFile, AFileFromANewerProgramIsKeptAndTheListStartsEmpty)
{
    TempFolder temp;
    const QString path = temp.filePath(u"analysis.dat"_s);
    ASSERT_TRUE(listfile::Write(path, "ALST", analysislistfile::kFormat + 1, analysislistfile::Encode(variedList())));
    AnalysisList list;
    AnalysisTableModel model(list);
    RecordingPrompts prompts;
    EXPECT_TRUE(analysislistfile::Restore(path, model, prompts));
    EXPECT_TRUE(list.isEmpty());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages()[0].contains(u"较新版本"_s));
    EXPECT_EQ(QDir(temp.path()).entryList({u"analysis.dat.damaged-*"_s}).size(), 1);

    ASSERT_TRUE(analysislistfile::Save(path, variedList()));
    EXPECT_TRUE(analysislistfile::Restore(path, model, prompts));
    EXPECT_EQ(list.records(), variedList().records());
    EXPECT_EQ(prompts.messages().size(), 1);
}

} // namespace
