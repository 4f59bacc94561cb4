#include "searchfakes.h"

#include "search/analysiscontroller.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class ControllerTest : public ::testing::Test {
protected:
    AnalysisList list;
    AnalysisTableModel model{list};
    FakeBrowser browser;
    ProgramValues values;
    FakeSaveFolder saveFolder{values};
    FakeDownloadWindow downloads;
    RecordingPrompts prompts;
    AnalysisController::Timing timing{300, 20, 5, 2};
    AnalysisController controller{model, browser, values, saveFolder, downloads.model, downloads, prompts, timing};

    bool runAddAll()
    {
        QSignalSpy finished(&controller, &AnalysisController::addAllFinished);
        controller.AddAllPages();
        return finished.wait(5000);
    }

    bool runAnalysis(AnalysisController::Analyse which)
    {
        QSignalSpy finished(&controller, &AnalysisController::analysisFinished);
        controller.runAnalysis(which);
        return finished.count() > 0 || finished.wait(5000);
    }

    QStringList titles() const
    {
        QStringList out;
        for (const AnalysisRecord& r : list.records())
            out.append(r.Title);
        return out;
    }
};

TEST_F(ControllerTest, AddCurrentPageAsksForTheFolderWhenSetTo)
{
    browser.pages = {{resultPage({1, 2}, false)}};
    QSignalSpy count(&controller, &AnalysisController::rowCountChanged);
    controller.AddCurrentPage();
    EXPECT_EQ(saveFolder.shown, 1);
    EXPECT_EQ(titles(), (QStringList{u"Article 1"_s, u"Article 2"_s}));
    EXPECT_EQ(list.at(0)->SavePath, u"/chosen/"_s);
    ASSERT_EQ(count.count(), 1);
    EXPECT_EQ(count.at(0).at(0).toString(), u"2"_s);

    values.PromptSaveFolder = false;
    list.clear();
    controller.AddCurrentPage();
    EXPECT_EQ(saveFolder.shown, 1);
    EXPECT_EQ(list.at(0)->SavePath, u""_s);
}

TEST_F(ControllerTest, NewRowsReachViewsAsOneInsertion)
{
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    browser.pages = {{resultPage({1, 2, 3}, false)}};
    controller.AddCurrentPage();
    controller.AddCurrentPage(); // all three listed already: nothing announced
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 0);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 2);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(AnalysisTableModel::Source, Qt::Horizontal, Qt::DisplayRole).toString(), u"TYPE"_s);
}

TEST_F(ControllerTest, AllPagesFollowsNextLinksToTheLastPage)
{
    browser.pages = {{resultPage({1, 2}, true)}, {resultPage({3}, true)}, {resultPage({4, 1}, false)}};
    QSignalSpy button(&controller, &AnalysisController::addAllButtonChanged);
    controller.AddAllPages();
    EXPECT_TRUE(controller.addAllRunning());
    EXPECT_EQ(controller.addAllCaption(), u"停止加入全部"_s);
    QSignalSpy finished(&controller, &AnalysisController::addAllFinished);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(titles(), (QStringList{u"Article 1"_s, u"Article 2"_s, u"Article 3"_s, u"Article 4"_s}));
    EXPECT_EQ(saveFolder.shown, 1); // once for the whole run
    EXPECT_FALSE(controller.addAllRunning());
    EXPECT_EQ(controller.addAllCaption(), u"加入全部到列表"_s);
    EXPECT_EQ(button.count(), 2);
}

TEST_F(ControllerTest, WaysAnAllPagesRunStops)
{
    struct Case {
        const char* Label;
        std::vector<FakeBrowser::Page> Pages;
        bool RefuseClicks;
        std::function<void(AnalysisController&)> During; // run once the first page is being left
        QStringList Titles;
    };
    const Case cases[] = {
        {"no_next_link", {{resultPage({1}, false)}}, false, {}, {u"Article 1"_s}},
        {"next_page_too_slow", {{resultPage({1}, true)}, {resultPage({2}, false), true}}, false, {}, {u"Article 1"_s}},
        {"click_refused", {{resultPage({1}, true)}, {resultPage({2}, false)}}, true, {}, {u"Article 1"_s}},
        {"stop_pressed_while_loading", {{resultPage({1}, true)}, {resultPage({2}, false)}}, false,
         [](AnalysisController& c) { c.AddAllPages(); }, {u"Article 1"_s}},
        {"window_closing", {{resultPage({1}, true)}, {resultPage({2}, false)}}, false,
         [](AnalysisController& c) { c.windowClosing(); }, {u"Article 1"_s}},
        {"empty_page", {}, false, {}, {}},
    };
    for (const Case& c : cases) {
        AnalysisList l;
        AnalysisTableModel m(l);
        FakeBrowser b;
        b.pages = c.Pages;
        b.refuseClicks = c.RefuseClicks;
        b.loadMs = 200; // long enough for a stop pressed right after the click to come first
        ProgramValues v;
        v.PromptSaveFolder = false;
        FakeSaveFolder sf(v);
        FakeDownloadWindow d;
        RecordingPrompts p;
        AnalysisController ctl(m, b, v, sf, d.model, d, p, timing);
        QSignalSpy finished(&ctl, &AnalysisController::addAllFinished);
        ctl.AddAllPages();
        if (c.During) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return b.clicks > 0; }, 2000)) << c.Label;
            c.During(ctl);
        }
        ASSERT_TRUE(finished.count() > 0 || finished.wait(5000)) << c.Label;
        QTest::qWait(100); // a page that finishes loading now must not be read
        QStringList got;
        for (const AnalysisRecord& r : l.records())
            got.append(r.Title);
        EXPECT_EQ(got, c.Titles) << c.Label;
        EXPECT_FALSE(ctl.addAllRunning()) << c.Label;
        EXPECT_LE(b.reads, 1) << c.Label;
    }
}

TEST_F(ControllerTest, AnalyseCommandBranches)
{
    controller.AnalyseCommand();
    EXPECT_EQ(prompts.messages(), QStringList{u"列表没有数据哦！"_s});
    EXPECT_EQ(downloads.shown, 0);

    list.AddAnalysisRecord(u"A"_s, u"https://h/doi/pdf/a"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s);
    QSignalSpy finished(&controller, &AnalysisController::analysisFinished);
    controller.AnalyseCommand(); // nothing selected: everything is analysed
    ASSERT_TRUE(finished.wait(2000));
    EXPECT_EQ(downloads.list.count(), 1);

    QSignalSpy menu(&controller, &AnalysisController::analyseMenuRequested);
    list.at(0)->Selected = true;
    controller.AnalyseCommand();
    EXPECT_EQ(menu.count(), 1);
}

TEST_F(ControllerTest, AnalysisCommandsTakeTheirRows)
{
    struct Case {
        const char* Label;
        AnalysisController::Analyse Which;
        QStringList States; // after the run
        int Handed;
    };
    // Rows: not analysed, succeeded, failed, selected not analysed, other source failed.
    const Case cases[] = {
        {"unanalysed", AnalysisController::Analyse::Unanalysed, {u"成功"_s, u"成功"_s, u"分析失败"_s, u"成功"_s, u"分析失败"_s}, 2},
        {"failed", AnalysisController::Analyse::Failed, {u""_s, u"成功"_s, u"成功"_s, u""_s, u""_s}, 1},
        {"selected", AnalysisController::Analyse::Selected, {u""_s, u"成功"_s, u"分析失败"_s, u"成功"_s, u"分析失败"_s}, 1},
        {"all", AnalysisController::Analyse::All, {u"成功"_s, u"成功"_s, u"成功"_s, u"成功"_s, u""_s}, 4},
    };
    for (const Case& c : cases) {
        list.clear();
        downloads.list.clear();
        const QString states[] = {u""_s, u"成功"_s, u"分析失败"_s, u""_s, u"分析失败"_s};
        for (int i = 0; i < 5; ++i) {
            list.AddAnalysisRecord(u"T"_s + QString::number(i), u"https://h/doi/pdf/"_s + QString::number(i), u"p"_s,
                                   u"pdf"_s, {}, i == 4 ? u"Other"_s : u"ACS"_s);
            list.at(i)->AnalysisState = states[i];
        }
        list.at(3)->Selected = true;
        const int shownBefore = downloads.shown;
        ASSERT_TRUE(runAnalysis(c.Which)) << c.Label;
        QStringList got;
        for (const AnalysisRecord& r : list.records())
            got.append(r.AnalysisState);
        EXPECT_EQ(got, c.States) << c.Label;
        EXPECT_EQ(downloads.list.count(), c.Handed) << c.Label;
        EXPECT_EQ(downloads.shown, shownBefore + 1) << c.Label;
        EXPECT_TRUE(controller.AnalysisIdle());
        EXPECT_FALSE(controller.progressPanelVisible());
    }
}

TEST_F(ControllerTest, AnalysisShowsPanelAsksFolderAndCanBeStopped)
{
    values.PromptSaveFolder = false;
    for (int i = 0; i < 40; ++i)
        list.AddAnalysisRecord(u"T"_s, u"https://h/"_s + QString::number(i), u"p"_s, u"pdf"_s, {}, u"ACS"_s);

    saveFolder.cancel = true;
    ASSERT_TRUE(runAnalysis(AnalysisController::Analyse::All));
    EXPECT_EQ(downloads.list.count(), 0); // cancelled: no row changes
    EXPECT_EQ(downloads.shown, 1);        // but the download window still comes up

    saveFolder.cancel = false;
    QSignalSpy panel(&controller, &AnalysisController::progressPanelChanged);
    QSignalSpy finished(&controller, &AnalysisController::analysisFinished);
    controller.AnalyseAll();
    EXPECT_TRUE(controller.progressPanelVisible());
    EXPECT_EQ(controller.progressText(), u"正在分析,请稍候..."_s);
    controller.ClearAll();
    EXPECT_EQ(prompts.messages().back(), u"正在分析，不能清除！"_s);
    // "停止" pressed as soon as the first rows are done.
    QObject::connect(&model, &QAbstractItemModel::dataChanged, &controller, [&] { controller.StopAnalysis(); });
    ASSERT_TRUE(finished.count() > 0 || finished.wait(2000));
    EXPECT_EQ(downloads.list.count(), timing.RowsPerTurn);
    EXPECT_EQ(list.count(), 40);
    EXPECT_EQ(list.at(0)->SavePath, u""_s);
    EXPECT_EQ(downloads.list.TaskAt(1)->Folder, u"/chosen/"_s);
}

TEST_F(ControllerTest, ClearCommands)
{
    const auto fill = [&] {
        list.clear();
        list.AddAnalysisRecord(u"Copper Catalysis"_s, u"u1"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s);
        list.AddAnalysisRecord(u"copper oxide"_s, u"u2"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s);
        list.AddAnalysisRecord(u"Zinc"_s, u"u3"_s, u"p"_s, u"pdf"_s, {}, u"ACS"_s);
        list.at(2)->AnalysisState = u"成功"_s;
        list.at(1)->Selected = true;
    };
    fill();
    prompts.textAnswers = {u"COPPER"_s};
    controller.ClearTitleContaining();
    EXPECT_EQ(titles(), QStringList{u"Zinc"_s});
    EXPECT_EQ(prompts.shown.back().Text, u"请输入指定字符："_s);

    fill();
    prompts.textAnswers = {u"copper"_s};
    controller.ClearTitleNotContaining();
    EXPECT_EQ(titles(), (QStringList{u"Copper Catalysis"_s, u"copper oxide"_s}));

    fill();
    prompts.textAnswers = {u"nowhere"_s, u"nowhere"_s, u""_s};
    controller.ClearTitleContaining();
    EXPECT_EQ(list.count(), 3);
    controller.ClearTitleNotContaining();
    EXPECT_EQ(list.count(), 0);
    fill();
    controller.ClearTitleContaining(); // empty answer: nothing
    EXPECT_EQ(list.count(), 3);

    controller.ClearSucceeded();
    EXPECT_EQ(titles(), (QStringList{u"Copper Catalysis"_s, u"copper oxide"_s}));
    controller.ClearSelected();
    EXPECT_EQ(titles(), QStringList{u"Copper Catalysis"_s});

    QSignalSpy count(&controller, &AnalysisController::rowCountChanged);
    prompts.yesNoAnswers = {false, true};
    controller.ClearAll();
    EXPECT_EQ(list.count(), 1);
    controller.ClearAll();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(prompts.shown.back().Text, u"您确定要清空辛辛苦苦搜索的列表数据吗？"_s);
    EXPECT_EQ(prompts.shown.back().Icon, MessageIcon::Question);
    ASSERT_EQ(count.count(), 1);
    EXPECT_EQ(count.at(0).at(0).toString(), u"0"_s);
}

} // namespace
