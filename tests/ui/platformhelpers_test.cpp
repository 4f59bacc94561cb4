#include "support/recordingprompts.h"
#include "support/recordingshell.h"
#include "support/tempfolder.h"
#include "ui/platform/browseforfolder.h"
#include "ui/platform/combodropwidth.h"
#include "ui/platform/editorcommand.h"
#include "ui/platform/filedialogfilter.h"
#include "ui/platform/isformloaded.h"
#include "ui/platform/liststripes.h"
#include "ui/platform/openfolderandselect.h"
#include "ui/platform/shellopenfile.h"
#include "ui/platform/suggestionmail.h"

#include <QComboBox>
#include <QDir>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(FileDialogFilter, PairsBecomeQtFilters)
{
    const struct {
        QString given;
        QString expected;
    } cases[] = {
        {u"*.txt|*.txt"_s, u"*.txt (*.txt)"_s},
        {u"文本文件|*.txt|所有文件|*.*"_s, u"文本文件 (*.txt);;所有文件 (*.*)"_s},
        {u"网页|*.htm;*.html"_s, u"网页 (*.htm *.html)"_s},
        {u"文本文件(*.txt)|*.txt"_s, u"文本文件(*.txt) (*.txt)"_s},
        {u"只有说明"_s, u"只有说明 (*)"_s},
        {u""_s, u""_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QtFileDialogFilter(c.given), c.expected) << c.given.toStdString();
}

TEST(EditorCommand, VisualBeforeEditorWithArgumentsAndTheFileLast)
{
    const QString file = u"/tmp/a b.txt"_s;
    EXPECT_EQ(EditorCommandLine(u"gedit --new-window"_s, u"nano"_s, file),
              (QStringList{u"gedit"_s, u"--new-window"_s, file}));
    EXPECT_EQ(EditorCommandLine(u"  "_s, u"\"/opt/my editor/ed\" -w"_s, file),
              (QStringList{u"/opt/my editor/ed"_s, u"-w"_s, file}));
    EXPECT_EQ(EditorCommandLine({}, u"sh -c 'ed \"$0\"' x\\ y \"a \\\" b\""_s, file),
              (QStringList{u"sh"_s, u"-c"_s, u"ed \"$0\""_s, u"x y"_s, u"a \" b"_s, file}));
    EXPECT_EQ(EditorCommandLine(u"''"_s, u"nano"_s, file), (QStringList{u"nano"_s, file}));
    EXPECT_TRUE(EditorCommandLine({}, {}, file).isEmpty());
}

TEST(SuggestionMail, SubjectAndBodyAreQueryItemsOfTheMailbox)
{
    const QUrl link = SuggestionMailLink(QDate(2024, 3, 9));
    EXPECT_EQ(link.scheme(), u"mailto"_s);
    EXPECT_EQ(link.path(), QString::fromUtf16(kSuggestionMailbox));
    const QUrlQuery query(link);
    EXPECT_EQ(query.queryItemValue(u"subject"_s, QUrl::FullyDecoded), u"我要对[Paperpull]提建议"_s);
    EXPECT_EQ(query.queryItemValue(u"body"_s, QUrl::FullyDecoded),
              u"软件名称：Paperpull 姓名：           Email：            联系地址：            邮编：               电话：                     日期：2024-03-09"_s);

    RecordingShell shell;
    EXPECT_TRUE(SendSuggestionMail(shell));
    ASSERT_EQ(shell.calls.size(), 1);
    EXPECT_TRUE(shell.calls[0].startsWith(u"openAddress mailto:"_s + QString::fromUtf16(kSuggestionMailbox) + u"?subject="_s))
        << shell.calls[0].toStdString();
}

TEST(BrowseForFolder, StartsAtTheParentOrTheRoot)
{
    TempFolder temp;
    const QString a = temp.makeFolder(u"a"_s);
    const struct {
        QString current;
        QString start;
    } cases[] = {
        {u""_s, QDir::rootPath()},
        {u"   "_s, QDir::rootPath()},
        {a + u"/b"_s, a + u'/'},
        {a + u"/b/"_s, a + u'/'},
        {temp.path() + u"/missing/b"_s, QDir::rootPath()},
        {u"C:\\12345"_s, QDir::rootPath()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BrowseStartFolder(c.current), c.start) << c.current.toStdString();
}

TEST(BrowseForFolder, AnswerEndsWithASeparatorAndCancelKeepsTheText)
{
    TempFolder temp;
    RecordingPrompts prompts;
    prompts.folderAnswers = {temp.path() + u"/picked"_s, QString(), QString()};
    EXPECT_EQ(BrowseForFolder(prompts, temp.path() + u"/x"_s, u"请选择要浏览的文件夹:"_s), temp.path() + u"/picked/"_s);
    EXPECT_EQ(BrowseForFolder(prompts, u"/data/papers"_s, u"t"_s), u"/data/papers/"_s);
    EXPECT_EQ(BrowseForFolder(prompts, u"/data/papers/"_s, u"t"_s), u"/data/papers/"_s);
    ASSERT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(prompts.shown[0].Text, u"请选择要浏览的文件夹:"_s);
}

TEST(ListStripes, RowHeight)
{
    EXPECT_EQ(StripeRowHeight(12, false, 17), 17);
    EXPECT_EQ(StripeRowHeight(12, true, 13), 13);
    EXPECT_EQ(StripeRowHeight(12, false, 0), 13);
    EXPECT_EQ(StripeRowHeight(12, true, 0), 17);
    EXPECT_EQ(StripeRowHeight(12, false, -3), 13);
}

TEST(ListStripes, FirstRowGreenSecondWhiteAtTheGivenHeight)
{
    QStandardItemModel model(4, 2);
    QTableView view;
    view.setModel(&model);
    ApplyListStripes(&view, false, 17);
    EXPECT_TRUE(view.alternatingRowColors());
    EXPECT_EQ(view.palette().color(QPalette::Base), QColor(231, 248, 237));
    EXPECT_EQ(view.palette().color(QPalette::AlternateBase), QColor(Qt::white));
    EXPECT_EQ(view.rowHeight(0), 17);

    view.resize(300, 200);
    view.show();
    const QImage image = view.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(150, 17 / 2), QColor(231, 248, 237));
    EXPECT_EQ(image.pixelColor(150, 17 + 17 / 2), QColor(Qt::white));
}

TEST(ComboDropWidth, ScrollBarFromNineEntriesAndNoWiderThanTheScreen)
{
    EXPECT_EQ(ComboDropWidth(100, 8, 16, 0), 107);
    EXPECT_EQ(ComboDropWidth(100, 9, 16, 0), 123);
    EXPECT_EQ(ComboDropWidth(100, 9, 16, 50), 50);
    EXPECT_EQ(LongestEntry({u"ab"_s, u"xyz"_s, u"123"_s, u"a"_s}), u"xyz"_s);
    EXPECT_EQ(LongestEntry({}), u""_s);
}

TEST(ComboDropWidth, ListGrowsForALongEntry)
{
    QComboBox combo;
    combo.resize(80, combo.sizeHint().height());
    combo.addItems({u"/a"_s, u"/home/user/papers/a/very/long/folder/name/for/the/list"_s});
    combo.move(0, 0);
    combo.show();
    SetComboDropWidth(&combo);
    const int textWidth = combo.view()->fontMetrics().horizontalAdvance(combo.itemText(1));
    EXPECT_GE(combo.view()->minimumWidth(), std::min(textWidth + 7, combo.screen()->availableGeometry().width() - 1));
    EXPECT_GT(combo.view()->minimumWidth(), 80);
}

TEST(IsFormLoaded, FindsTopLevelWindowsByNameInAnyCase)
{
    EXPECT_FALSE(IsFormLoaded(u"fFileDownload"_s));
    {
        QWidget window;
        window.setObjectName(u"fFileDownload"_s);
        QWidget child(&window);
        child.setObjectName(u"fChild"_s);
        EXPECT_TRUE(IsFormLoaded(u"FFILEDOWNLOAD"_s)); // loaded, though never shown
        EXPECT_EQ(FindLoadedForm(u"ffiledownload"_s), &window);
        EXPECT_FALSE(IsFormLoaded(u"fChild"_s));
        EXPECT_FALSE(IsFormLoaded(u""_s));
    }
    EXPECT_FALSE(IsFormLoaded(u"fFileDownload"_s));
}

TEST(ShellOpenFile, MissingFileIsReportedExistingOneIsOpened)
{
    TempFolder temp;
    const QString file = temp.writeFile(u"paper.pdf"_s, "x");
    RecordingPrompts prompts;
    RecordingShell shell;
    ShellOpenFile(temp.filePath(u"gone.pdf"_s), prompts, shell);
    EXPECT_EQ(prompts.messages(), QStringList{u"文件不存在！"_s});
    EXPECT_EQ(prompts.shown[0].Icon, MessageIcon::Error);
    EXPECT_TRUE(shell.calls.isEmpty());
    ShellOpenFile(file, prompts, shell);
    EXPECT_EQ(shell.calls, QStringList{u"openFile "_s + file});
}

TEST(OpenFolderAndSelect, AnswersWhetherTheShellShowedTheFile)
{
    TempFolder temp;
    const QString file = temp.writeFile(u"paper.pdf"_s, "x");
    RecordingShell shell;
    EXPECT_FALSE(OpenFolderAndSelect(temp.filePath(u"gone.pdf"_s), shell));
    EXPECT_FALSE(OpenFolderAndSelect(temp.path(), shell)); // a folder is no file
    EXPECT_TRUE(shell.calls.isEmpty());
    EXPECT_TRUE(OpenFolderAndSelect(u"  "_s + file + u" "_s, shell));
    EXPECT_EQ(shell.calls, QStringList{u"showInFolder "_s + file});
    shell.accepts = false;
    EXPECT_FALSE(OpenFolderAndSelect(file, shell));
}

} // namespace
