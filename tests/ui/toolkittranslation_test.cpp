#include "ui/platform/qtuserprompts.h"
#include "ui/platform/toolkittranslation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

// The texts of the buttons of the box a prompt shows, read while it is open;
// then the box is answered with the button of the given role.
struct OpenBox {
    QStringList Texts;
    bool Seen = false;
};

OpenBox readTheBoxThenAnswer(const std::function<void()>& prompt, QDialogButtonBox::ButtonRole answer)
{
    OpenBox seen;
    QTimer::singleShot(0, [&seen, answer] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr)
            return;
        seen.Seen = true;
        auto* buttons = box->findChild<QDialogButtonBox*>();
        if (buttons == nullptr)
            return;
        for (QAbstractButton* button : buttons->buttons())
            seen.Texts.append(button->text());
        for (QAbstractButton* button : buttons->buttons()) {
            if (buttons->buttonRole(button) == answer) {
                button->click();
                return;
            }
        }
    });
    prompt();
    seen.Texts.sort();
    return seen;
}

TEST(ToolkitTranslation, WithoutATranslationThePromptsButtonsAreTheProgramsOwn)
{
    const ToolkitTranslation none(u"/nonexistent-translations"_s);
    ASSERT_FALSE(none.loaded());
    QtUserPrompts prompts;

    bool answer = true;
    const OpenBox question = readTheBoxThenAnswer([&] { answer = prompts.askYesNo(u"要继续吗？"_s, MessageIcon::Question); },
                                                  QDialogButtonBox::NoRole);
    ASSERT_TRUE(question.Seen);
    EXPECT_EQ(question.Texts, QStringList({u"否"_s, u"是"_s}));
    EXPECT_FALSE(answer); // the button still answers as its role says

    const OpenBox message = readTheBoxThenAnswer([&] { prompts.showMessage(u"完成"_s, MessageIcon::Information); },
                                                 QDialogButtonBox::AcceptRole);
    ASSERT_TRUE(message.Seen);
    EXPECT_EQ(message.Texts, QStringList({u"确定"_s}));

    std::optional<QString> typed;
    const OpenBox text = readTheBoxThenAnswer([&] { typed = prompts.askText(u"文件大小："_s, {}, u"1000"_s); },
                                              QDialogButtonBox::AcceptRole);
    ASSERT_TRUE(text.Seen);
    EXPECT_EQ(text.Texts, QStringList({u"取消"_s, u"确定"_s}));
    EXPECT_EQ(typed, u"1000"_s);
}

TEST(ToolkitTranslation, TheInstalledTranslationSpeaksForTheToolkitsButtons)
{
    const QString untranslatedYes = QCoreApplication::translate("QPlatformTheme", "&Yes");
    ASSERT_EQ(untranslatedYes, u"&Yes"_s) << "no translation is installed before the test";
    {
        const ToolkitTranslation chinese;
        ASSERT_TRUE(chinese.loaded()) << "qt6-translations-l10n is installed by tools/setup, in "
                                      << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
        const QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
        const QString no = QCoreApplication::translate("QPlatformTheme", "&No");
        EXPECT_NE(yes, u"&Yes"_s);

        QtUserPrompts prompts;
        const OpenBox question = readTheBoxThenAnswer(
            [&] { prompts.askYesNo(u"要继续吗？"_s, MessageIcon::Question); }, QDialogButtonBox::YesRole);
        ASSERT_TRUE(question.Seen);
        QStringList expected{yes, no};
        expected.sort();
        EXPECT_EQ(question.Texts, expected); // the toolkit's own, left as they are
        for (const QString& shown : question.Texts)
            EXPECT_FALSE(shown.contains(u"Yes"_s) || shown.contains(u"No"_s)) << shown.toStdString();
    }
    // Gone with its owner: the toolkit speaks English again.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), u"&Yes"_s);
}

TEST(ToolkitTranslation, ButtonsOtherThanTheFourAndTextsAlreadySetAreLeftAlone)
{
    const ToolkitTranslation none(u"/nonexistent-translations"_s);
    QMessageBox box(QMessageBox::NoIcon, u"Paperpull"_s, u"?"_s, QMessageBox::Yes | QMessageBox::Retry);
    box.button(QMessageBox::Yes)->setText(u"继续下载"_s);
    GiveButtonsOwnTexts(&box);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), u"继续下载"_s);
    EXPECT_EQ(box.button(QMessageBox::Retry)->text().remove(u'&'), u"Retry"_s);
    GiveButtonsOwnTexts(static_cast<QWidget*>(nullptr)); // nothing to do, nothing to crash
}

} // namespace
