#include "dialogfixture.h"

#include "core/legacytext.h"
#include "ui/formcopymove.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

struct CopyDialog : DialogFixture {
    CopyDialog() : historyFile(temp.filePath(u"SaveList.dat"_s)), dest(temp.path() + u"/dest/"_s) {}

    std::unique_ptr<Form_Copy_Move> open(const QStringList& names)
    {
        auto dialog = std::make_unique<Form_Copy_Move>(settings, prompts, historyFile);
        QList<CopySource> sources;
        for (const QString& name : names)
            sources.append(CopySource::WholeFile(temp.writeFile(u"src/"_s + name, name.toUtf8())));
        dialog->setSourceFiles(sources);
        dialog->show();
        control<QComboBox>(*dialog, u"Combo1"_s)->setEditText(dest);
        return dialog;
    }

    QStringList copied() const { return QDir(dest).entryList(QDir::Files, QDir::Name); }
    QString button(QWidget& dialog) const { return control<QPushButton>(dialog, u"Command1"_s)->text(); }
    bool reported() { return QTest::qWaitFor([this] { return !prompts.shown.isEmpty(); }, 5000); }
    QString stored(const QString& key) const
    {
        return storage.read(u"Form_Copy_Move"_s, key).value_or(u"<unset>"_s);
    }

    QString historyFile;
    QString dest;
};

TEST(CopyDialog, OpensWithItsCaptionsAndTheRememberedChoices)
{
    CopyDialog f;
    f.settings.setCopyDestinationFolder(f.temp.path() + u"/last/"_s);
    f.settings.setCopyOptionIndex(2);
    QFile history(f.historyFile);
    ASSERT_TRUE(history.open(QIODevice::WriteOnly));
    history.write(legacytext::encode(u"/data/papers\r\n/data/old\r\n"_s));
    history.close();

    Form_Copy_Move dialog(f.settings, f.prompts, f.historyFile);
    EXPECT_EQ(dialog.windowTitle(), u"复制文件..."_s);
    EXPECT_EQ(control<QComboBox>(dialog, u"Combo1"_s)->currentText(), f.temp.path() + u"/last/"_s);
    EXPECT_EQ(control<QComboBox>(dialog, u"Combo1"_s)->count(), 2);
    EXPECT_TRUE(control<QRadioButton>(dialog, u"Option1(2)"_s)->isChecked());
    EXPECT_EQ(control<QRadioButton>(dialog, u"Option1(4)"_s)->text(), u"文件大小和修改时间均相同：覆盖；否则：自动重命名"_s);
    EXPECT_EQ(control<QPushButton>(dialog, u"Command3"_s)->text(), u"浏览"_s);
    EXPECT_EQ(control<QPushButton>(dialog, u"Command2"_s)->text(), u"关闭"_s);
    dialog.setSourceFiles({CopySource::WholeFile(u"/a"_s), CopySource::WholeFile(u"/b"_s)});
    EXPECT_EQ(dialog.windowTitle(), u"复制文件：2 个文件..."_s);
}

TEST(CopyDialog, WithNoStoredDestinationItProposesTheSaveFolderOrHome)
{
    TempFolder temp;
    const QString papers = temp.makeFolder(u"papers"_s);
    const struct {
        const char* Name;
        QString SaveFolder;
        QString Expected;
    } cases[] = {
        {"the_save_folder", papers, papers + u'/'},
        {"the_save_folder_as_stored_with_its_slash", papers + u'/', papers + u'/'},
        {"home_when_the_save_folder_is_gone", temp.filePath(u"gone"_s), u"/home/me/"_s},
        {"home_when_there_is_none", u"  "_s, u"/home/me/"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProposedCopyDestination(c.SaveFolder, u"/home/me"_s), c.Expected) << c.Name;
}

TEST(CopyDialog, OpensOnTheSaveFolderNeverTheProgramsOwn)
{
    CopyDialog f; // the settings' program folder is the scratch folder itself
    {
        f.settings.setSaveFolder(f.temp.makeFolder(u"papers"_s) + u'/');
        Form_Copy_Move dialog(f.settings, f.prompts, f.historyFile);
        EXPECT_EQ(control<QComboBox>(dialog, u"Combo1"_s)->currentText(), f.temp.path() + u"/papers/"_s);
    }
    {
        f.settings.setSaveFolder(f.temp.path() + u"/not-made-yet/"_s);
        Form_Copy_Move dialog(f.settings, f.prompts, f.historyFile);
        EXPECT_EQ(control<QComboBox>(dialog, u"Combo1"_s)->currentText(), QDir::homePath() + u'/');
    }
    EXPECT_EQ(f.stored(u"目的文件夹"_s), u"<unset>"_s); // proposed, not stored until a run
}

TEST(CopyDialog, CopiesThreeFilesIntoANewFolderAndRemembersIt)
{
    CopyDialog f;
    auto dialog = f.open({u"a.pdf"_s, u"b.pdf"_s, u"c.pdf"_s});
    click(*dialog, u"Option1(5)"_s);
    click(*dialog, u"Command1"_s);
    EXPECT_EQ(f.button(*dialog), u"停止"_s);
    ASSERT_TRUE(f.reported());
    EXPECT_EQ(f.copied(), QStringList({u"a.pdf"_s, u"b.pdf"_s, u"c.pdf"_s}));
    EXPECT_EQ(f.prompts.messages(), QStringList({u"复制文件完成！"_s}));
    EXPECT_EQ(f.prompts.shown[0].Icon, MessageIcon::Information);
    EXPECT_EQ(f.button(*dialog), u"开始"_s);
    EXPECT_EQ(control<QProgressBar>(*dialog, u"ProgressBar1"_s)->value(), 0);
    EXPECT_EQ(control<QLabel>(*dialog, u"Label3"_s)->text(), QString());
    EXPECT_EQ(f.stored(u"目的文件夹"_s), f.dest);
    EXPECT_EQ(f.stored(u"OpIndex"_s), u"5"_s);
    QFile history(f.historyFile);
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    EXPECT_EQ(history.readAll(), legacytext::encode(f.dest) + "\r\n");
}

TEST(CopyDialog, StopEndsTheRunAfterTheCurrentFileAndStillReports)
{
    CopyDialog f;
    auto dialog = f.open({u"a.pdf"_s, u"b.pdf"_s, u"c.pdf"_s});
    // The user presses "停止" while the first file is on the label.
    QObject::connect(&dialog->controller().run(), &CopyRun::currentFileChanged, dialog.get(),
                     [&](const QString& name) {
                         if (name == u"a.pdf"_s)
                             click(*dialog, u"Command1"_s);
                     });
    click(*dialog, u"Command1"_s);
    ASSERT_TRUE(f.reported());
    EXPECT_EQ(f.copied(), QStringList({u"a.pdf"_s}));
    EXPECT_EQ(f.prompts.messages(), QStringList({u"复制文件完成！"_s}));
    EXPECT_EQ(f.button(*dialog), u"开始"_s);
}

TEST(CopyDialog, NothingToCopyOrNoFolderStopsEarly)
{
    CopyDialog f;
    auto dialog = f.open({u"a.pdf"_s});
    QFile::remove(f.temp.filePath(u"src/a.pdf"_s));
    click(*dialog, u"Command1"_s);
    QTest::qWait(50);
    EXPECT_TRUE(f.prompts.shown.isEmpty()) << "all sources missing: no message";
    EXPECT_EQ(f.button(*dialog), u"开始"_s);

    // A folder that cannot be made: below a file.
    const QString blocker = f.temp.writeFile(u"blocker"_s, "x");
    f.settings.setCopyOptionIndex(1);
    auto second = f.open({u"b.pdf"_s});
    click(*second, u"Option1(3)"_s);
    control<QComboBox>(*second, u"Combo1"_s)->setEditText(blocker + u"/sub/"_s);
    click(*second, u"Command1"_s);
    EXPECT_EQ(f.prompts.messages(), QStringList({u"创建文件夹出错！"_s}));
    EXPECT_EQ(f.prompts.shown[0].Icon, MessageIcon::Error);
    EXPECT_EQ(f.stored(u"OpIndex"_s), u"1"_s) << "settings are stored only for a usable folder";
    EXPECT_EQ(f.button(*second), u"开始"_s);
}

TEST(CopyDialog, AFolderInOtherLetterCaseJoinsTheHistoryOnce)
{
    CopyDialog f;
    QFile history(f.historyFile);
    ASSERT_TRUE(history.open(QIODevice::WriteOnly));
    const QString listed = f.temp.path() + u"/DEST"_s;
    history.write(legacytext::encode(QString(listed + u"\r\n"_s)));
    history.close();
    auto dialog = f.open({u"a.pdf"_s});
    click(*dialog, u"Command1"_s);
    ASSERT_TRUE(f.reported());
    EXPECT_EQ(control<QComboBox>(*dialog, u"Combo1"_s)->count(), 1);
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    EXPECT_EQ(history.readAll(), legacytext::encode(listed) + "\r\n");
}

TEST(CopyDialog, ASourceInTheDestinationIsLeftAlone)
{
    CopyDialog f;
    auto dialog = f.open({});
    const QString inside = f.temp.writeFile(u"dest/here.pdf"_s, "here");
    dialog->setSourceFiles({CopySource::WholeFile(inside)});
    click(*dialog, u"Option1(3)"_s);
    click(*dialog, u"Command1"_s);
    ASSERT_TRUE(f.reported());
    EXPECT_EQ(f.copied(), QStringList({u"here.pdf"_s}));
}

TEST(CopyDialog, ClosingStopsTheRunWithoutAReport)
{
    CopyDialog f;
    auto dialog = f.open({u"a.pdf"_s, u"b.pdf"_s, u"c.pdf"_s});
    click(*dialog, u"Command1"_s);
    click(*dialog, u"Command2"_s);
    EXPECT_FALSE(dialog->isVisible());
    QTest::qWait(100);
    EXPECT_TRUE(f.copied().isEmpty()) << "closed before the first turn";
    EXPECT_TRUE(f.prompts.shown.isEmpty());
    EXPECT_FALSE(dialog->controller().running());
}

} // namespace
