#include "dialogfixture.h"

#include "core/legacytext.h"
#include "ui/fselefilesavepath.h"
#include "ui/savefolderdialogprompt.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct SaveFolderDialog : DialogFixture {
    SaveFolderDialog() : historyFile(temp.filePath(u"SaveList.dat"_s)) {}

    std::unique_ptr<fSeleFileSavePath> open()
    {
        auto dialog = std::make_unique<fSeleFileSavePath>(values, settings, prompts, historyFile);
        dialog->show();
        return dialog;
    }

    QByteArray history() const
    {
        QFile file(historyFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString historyFile;
};

QComboBox* box(QWidget& dialog)
{
    return control<QComboBox>(dialog, u"Combo1"_s);
}

TEST(SaveFolderDialog, FirstUseShowsTheDefaultFolderAndTitleNaming)
{
    SaveFolderDialog f;
    f.values.SaveFolder = u"/stale"_s;
    auto dialog = f.open();
    EXPECT_EQ(dialog->windowTitle(), u"选择下载保存路径 - Paperpull"_s);
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(box(*dialog)->currentText(), QDir::homePath() + u"/12345"_s);
    EXPECT_EQ(f.values.SaveFolder, QDir::homePath() + u"/12345"_s);
    EXPECT_TRUE(control<QRadioButton>(*dialog, u"Option2"_s)->isChecked());
    EXPECT_EQ(box(*dialog)->count(), 0);
}

TEST(SaveFolderDialog, ConfirmCreatesTheFolderAndSetsTheResults)
{
    SaveFolderDialog f;
    f.values.SaveFolderCancelled = true;
    auto dialog = f.open();
    const QString typed = f.temp.path() + u"/new/deeper"_s; // no separator at the end, missing levels
    box(*dialog)->setEditText(u"  "_s + typed);
    control<QRadioButton>(*dialog, u"Option1"_s)->setChecked(true);
    click(*dialog, u"Command2"_s);

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(QDir(typed).exists());
    EXPECT_EQ(f.values.SaveFolder, typed + u'/');
    EXPECT_EQ(f.stored(u"下载文件保存路径"_s), typed + u'/');
    EXPECT_FALSE(f.values.SaveFolderCancelled);
    EXPECT_TRUE(f.values.NameByOriginalFile);
    EXPECT_EQ(f.history(), legacytext::encode(typed) + "\r\n");
    EXPECT_TRUE(f.prompts.shown.isEmpty());
}

TEST(SaveFolderDialog, AFolderChosenInTwoRunsIsWrittenTwiceAndListedOnce)
{
    SaveFolderDialog f;
    const QString folder = f.temp.makeFolder(u"papers"_s);
    for (int run = 0; run < 2; ++run) {
        auto dialog = f.open();
        box(*dialog)->setEditText(folder);
        click(*dialog, u"Command2"_s);
    }
    EXPECT_EQ(f.history(), legacytext::encode(folder) + "\r\n" + legacytext::encode(folder) + "\r\n");
    auto dialog = f.open();
    ASSERT_EQ(box(*dialog)->count(), 1);
    EXPECT_EQ(box(*dialog)->itemText(0), folder);
    EXPECT_EQ(box(*dialog)->currentText(), folder + u'/'); // the folder last accepted
}

TEST(SaveFolderDialog, AFolderThatCannotBeMadeIsRefusedAndNothingChanges)
{
    SaveFolderDialog f;
    const QString file = f.temp.writeFile(u"plain-file"_s, "x");
    for (const QString& typed : {QString(file + u"/sub"_s), u"relative/folder"_s, u"   "_s}) {
        f.prompts.shown.clear();
        f.values.NameByOriginalFile = false;
        f.values.SaveFolderCancelled = true;
        auto dialog = f.open();
        box(*dialog)->setEditText(typed);
        control<QRadioButton>(*dialog, u"Option1"_s)->setChecked(true);
        click(*dialog, u"Command2"_s);
        EXPECT_TRUE(dialog->isVisible()) << typed.toStdString();
        EXPECT_EQ(f.prompts.messages().value(f.prompts.messages().size() - 1), u"文件夹设置错误！"_s);
        EXPECT_EQ(f.prompts.shown.back().Icon, MessageIcon::Error);
        EXPECT_EQ(f.stored(u"下载文件保存路径"_s), u"<unset>"_s);
        EXPECT_FALSE(f.values.NameByOriginalFile);
        EXPECT_TRUE(f.values.SaveFolderCancelled);
        EXPECT_TRUE(f.history().isEmpty());

        // The close box runs no button's action.
        dialog->close();
        EXPECT_FALSE(f.values.NameByOriginalFile);
        EXPECT_TRUE(f.values.SaveFolderCancelled);
    }
    EXPECT_FALSE(QDir(u"relative"_s).exists());
}

TEST(SaveFolderDialog, CancelKeepsTheNamingChoiceAndTheLoadedFolder)
{
    SaveFolderDialog f;
    f.settings.setSaveFolder(u"/loaded/"_s);
    f.values.NameByOriginalFile = true;
    auto dialog = f.open();
    EXPECT_TRUE(control<QRadioButton>(*dialog, u"Option1"_s)->isChecked());
    control<QRadioButton>(*dialog, u"Option2"_s)->setChecked(true);
    box(*dialog)->setEditText(f.temp.path());
    click(*dialog, u"Command3"_s);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(f.values.SaveFolderCancelled);
    EXPECT_TRUE(f.values.NameByOriginalFile);
    EXPECT_EQ(f.values.SaveFolder, u"/loaded/"_s);
    EXPECT_EQ(f.stored(u"下载文件保存路径"_s), u"/loaded/"_s);
}

TEST(SaveFolderDialog, NamingByAPatternIsChosenStoredAndShownAgain)
{
    SaveFolderDialog f;
    const QString folder = f.temp.makeFolder(u"papers"_s);
    {
        auto dialog = f.open();
        auto* pattern = control<QLineEdit>(*dialog, u"Text1"_s);
        EXPECT_EQ(control<QRadioButton>(*dialog, u"Option3"_s)->text(), u"自定义："_s);
        EXPECT_EQ(pattern->text(), u"{year} {author} {title}"_s); // the default
        EXPECT_TRUE(control<QRadioButton>(*dialog, u"Option2"_s)->isChecked());
        box(*dialog)->setEditText(folder);
        pattern->selectAll();
        QTest::keyClicks(pattern, u"{journal} {volume} {pages}"_s); // typing picks the option
        EXPECT_TRUE(control<QRadioButton>(*dialog, u"Option3"_s)->isChecked());
        click(*dialog, u"Command2"_s);
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_TRUE(f.values.NameByPattern);
    EXPECT_FALSE(f.values.NameByOriginalFile);
    EXPECT_EQ(f.values.NamePattern, u"{journal} {volume} {pages}"_s);
    EXPECT_EQ(f.storage.read(u"专利下载"_s, u"自定义文件名"_s), u"{journal} {volume} {pages}"_s);

    auto dialog = f.open();
    EXPECT_TRUE(control<QRadioButton>(*dialog, u"Option3"_s)->isChecked());
    EXPECT_EQ(control<QLineEdit>(*dialog, u"Text1"_s)->text(), u"{journal} {volume} {pages}"_s);
    // Back to the title: the pattern stays stored for another time.
    control<QRadioButton>(*dialog, u"Option2"_s)->setChecked(true);
    click(*dialog, u"Command2"_s);
    EXPECT_FALSE(f.values.NameByPattern);
    EXPECT_FALSE(f.values.NameByOriginalFile);
    EXPECT_EQ(f.storage.read(u"专利下载"_s, u"自定义文件名"_s), u"{journal} {volume} {pages}"_s);
}

TEST(SaveFolderDialog, AnEmptyPatternIsRefusedAndNothingChanges)
{
    SaveFolderDialog f;
    auto dialog = f.open();
    box(*dialog)->setEditText(f.temp.path());
    control<QRadioButton>(*dialog, u"Option3"_s)->setChecked(true);
    control<QLineEdit>(*dialog, u"Text1"_s)->setText(u"   "_s);
    click(*dialog, u"Command2"_s);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(f.prompts.messages().size(), 1);
    EXPECT_TRUE(f.prompts.messages()[0].contains(u"{year} {author} {title}"_s));
    EXPECT_FALSE(f.values.NameByPattern);
    EXPECT_EQ(f.stored(u"下载文件保存路径"_s), u"<unset>"_s);
    EXPECT_EQ(f.storage.read(u"专利下载"_s, u"自定义文件名"_s), std::nullopt);
}

TEST(SaveFolderDialog, BrowseButtonPutsThePickedFolderIntoTheBox)
{
    SaveFolderDialog f;
    const QString start = f.temp.makeFolder(u"a"_s);
    f.settings.setSaveFolder(start + u"/b/"_s);
    auto dialog = f.open();
    f.prompts.folderAnswers = {f.temp.path() + u"/picked"_s, QString()};
    click(*dialog, u"Command1"_s);
    EXPECT_EQ(box(*dialog)->currentText(), f.temp.path() + u"/picked/"_s);
    ASSERT_EQ(f.prompts.shown.size(), 1);
    EXPECT_EQ(f.prompts.shown[0].Text, u"请选择要浏览的文件夹:"_s);
    click(*dialog, u"Command1"_s); // cancelled: the box keeps its text
    EXPECT_EQ(box(*dialog)->currentText(), f.temp.path() + u"/picked/"_s);
}

TEST(SaveFolderDialog, ThePromptOfTheSearchWorkflowShowsTheDialogModally)
{
    SaveFolderDialog f;
    const QString folder = f.temp.makeFolder(u"chosen"_s);
    SaveFolderDialogPrompt prompt(f.values, f.settings, f.prompts, f.historyFile);
    bool seen = false;
    QTimer::singleShot(0, qApp, [&] {
        auto* dialog = qobject_cast<fSeleFileSavePath*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        seen = true;
        dialog->findChild<QComboBox*>(u"Combo1"_s)->setEditText(folder);
        dialog->findChild<QAbstractButton*>(u"Command2"_s)->click();
    });
    prompt.showSaveFolderDialog();
    EXPECT_TRUE(seen);
    EXPECT_EQ(f.values.SaveFolder, folder + u'/');
    EXPECT_FALSE(f.values.SaveFolderCancelled);
}

} // namespace
