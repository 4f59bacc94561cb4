#include "support/tempfolder.h"
#include "ui/platform/desktopshell.h"
#include "ui/platform/qtuserprompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Answers the next modal message box once it is up, recording what it showed.
struct BoxAnswer {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

void answerNextBox(QMessageBox::StandardButton press, BoxAnswer& seen)
{
    QTimer::singleShot(0, qApp, [press, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        seen = {box->text(), box->icon(), box->standardButtons()};
        box->button(press)->click();
    });
}

TEST(QtUserPrompts, QuestionHasYesAndNoAndAnswersWhatWasPressed)
{
    QtUserPrompts prompts;
    BoxAnswer seen;
    answerNextBox(QMessageBox::No, seen);
    EXPECT_FALSE(prompts.askYesNo(u"您确定要清空列表的所有信息吗？"_s, MessageIcon::Question));
    EXPECT_EQ(seen.text, u"您确定要清空列表的所有信息吗？"_s);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    answerNextBox(QMessageBox::Yes, seen);
    EXPECT_TRUE(prompts.askYesNo(u"q"_s, MessageIcon::Question));

    answerNextBox(QMessageBox::Ok, seen);
    prompts.showMessage(u"文件不存在！"_s, MessageIcon::Error);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

TEST(DesktopShell, EditorFromVisualGetsTheFile)
{
    TempFolder temp;
    const QString marker = temp.filePath(u"opened"_s);
    QProcessEnvironment environment;
    // The "editor" writes the file it was given into the marker.
    environment.insert(u"VISUAL"_s, u"/bin/sh -c 'printf %s \"$0\" > \""_s + marker + u"\"'"_s);
    environment.insert(u"EDITOR"_s, u"/bin/false"_s);
    DesktopShell shell(environment);
    const QString file = temp.writeFile(u"list.txt"_s, "x");
    ASSERT_TRUE(shell.startTextEditor(file));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker) && QFile(marker).size() > 0; }, 5000));
    QFile written(marker);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()), file);
}

TEST(DesktopShell, ClipboardTakesTheText)
{
    DesktopShell shell{QProcessEnvironment()};
    shell.setClipboardText(u"文章标题"_s);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"文章标题"_s);
}

} // namespace
