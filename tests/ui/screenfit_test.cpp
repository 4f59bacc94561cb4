#include "ui/platform/columnfit.h"
#include "ui/platform/elidedlabel.h"
#include "ui/platform/followrowcount.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMainWindow>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kLongText = u"正在下载："_s + QString(u"Total Synthesis of Vinigrol by Radical Cyclization "_s).repeated(12);

TEST(ElidedLabel, AStatusBarKeepsTheWindowsWidthWhateverTheTextAndTheTooltipHasItAll)
{
    QMainWindow window;
    auto* panel = new ElidedLabel;
    window.statusBar()->addWidget(panel, 1);
    window.setCentralWidget(new QWidget);
    window.resize(600, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    panel->setText(kLongText);
    QTest::qWait(20); // the layout settles
    EXPECT_EQ(window.width(), 600);
    EXPECT_LE(window.minimumSizeHint().width(), 600);
    EXPECT_EQ(panel->text(), kLongText); // read back whole
    EXPECT_TRUE(panel->elided());
    EXPECT_TRUE(panel->shownText().endsWith(u'…')) << panel->shownText().toStdString();
    EXPECT_TRUE(kLongText.startsWith(panel->shownText().chopped(1)));

    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), panel->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(panel, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), kLongText);
    QToolTip::hideText();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));

    panel->setText(u"已完成"_s);
    EXPECT_FALSE(panel->elided());
    EXPECT_EQ(panel->shownText(), u"已完成"_s);
    QHelpEvent again(QEvent::ToolTip, QPoint(5, 5), panel->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(panel, &again);
    EXPECT_FALSE(QToolTip::isVisible()); // nothing cut short, nothing to tell
}

TEST(ColumnFit, AColumnTakesItsContentsUpToHalfTheView)
{
    const struct {
        const char* Name;
        int Contents, View, Expected;
    } cases[] = {
        {"short_contents_kept", 120, 1000, 120},
        {"long_title_capped_at_half", 4800, 1000, 500},
        {"exactly_half", 500, 1000, 500},
        {"odd_view_width_rounds_down", 900, 801, 400},
        {"view_not_laid_out_yet", 4800, 0, 4800},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CappedColumnWidth(c.Contents, c.View), c.Expected) << c.Name;
}

TEST(ColumnFit, ALongTitleLeavesTheOtherColumnsInView)
{
    QStandardItemModel model(2, 3);
    model.setItem(0, 0, new QStandardItem(kLongText));
    model.setItem(1, 0, new QStandardItem(u"short"_s));
    model.setItem(0, 1, new QStandardItem(u"pdf"_s));
    model.setItem(0, 2, new QStandardItem(u"已完成"_s));
    QTableView view;
    view.setModel(&model);
    view.horizontalHeader()->setStretchLastSection(false);
    view.resize(800, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    FitColumnsToContents(&view);
    const int viewWidth = view.viewport()->width();
    EXPECT_EQ(view.columnWidth(0), viewWidth / 2);
    EXPECT_LT(view.columnWidth(1), viewWidth / 4);
    EXPECT_LE(view.columnWidth(0) + view.columnWidth(1) + view.columnWidth(2), viewWidth);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0); // nothing to scroll to
    EXPECT_EQ(view.textElideMode(), Qt::ElideRight);

    model.setItem(0, 0, new QStandardItem(u"a title that fits"_s));
    FitColumnsToContents(&view);
    EXPECT_LT(view.columnWidth(0), viewWidth / 2); // its contents, not the cap
}

TEST(FollowRowCount, TheCountFollowsEveryChangeOfRowsWhoeverMakesIt)
{
    QStandardItemModel model;
    QObject context;
    QList<int> shown;
    FollowRowCount(model, &context, [&shown](int count) { shown.append(count); });
    EXPECT_EQ(shown, QList<int>({0})); // at once

    for (const QString& name : {u"c"_s, u"a"_s, u"b"_s})
        model.appendRow(new QStandardItem(name));
    EXPECT_EQ(shown.last(), 3);
    model.removeRows(0, 2);
    EXPECT_EQ(shown.last(), 1);
    model.appendRow(new QStandardItem(u"d"_s));
    shown.clear();
    model.sort(0); // laid out anew: same count, told again
    EXPECT_EQ(shown, QList<int>({2}));
    model.clear(); // a reset
    EXPECT_EQ(shown.last(), 0);

    {
        QObject gone;
        FollowRowCount(model, &gone, [&shown](int count) { shown.append(-count - 100); });
    }
    const qsizetype told = shown.size();
    model.appendRow(new QStandardItem(u"e"_s));
    EXPECT_EQ(shown.mid(told), QList<int>({1})); // a context that went hears nothing
}

} // namespace
