#include "core/programfolders.h"
#include "core/startoptions.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Action = StartOptions::Action;

TEST(StartOptionsTest, TheCommandLineAsked)
{
    const struct {
        const char* Label;
        QStringList Arguments;
        Action Expected;
        QString HomePage;
    } cases[] = {
        {"nothing", {}, Action::Run, {}},
        {"home_page", {u"--home-page"_s, u"http://127.0.0.1:8080/"_s}, Action::Run, u"http://127.0.0.1:8080/"_s},
        {"home_page_joined", {u"--home-page= https://example.org/search "_s}, Action::Run,
         u"https://example.org/search"_s},
        {"last_one_wins", {u"--home-page=http://a.test/"_s, u"--home-page"_s, u"http://b.test/"_s}, Action::Run,
         u"http://b.test/"_s},
        {"help_before_anything", {u"--help"_s, u"--bogus"_s}, Action::ShowHelp, {}},
        {"short_help", {u"-h"_s}, Action::ShowHelp, {}},
        {"version", {u"--home-page=http://a.test/"_s, u"--version"_s}, Action::ShowVersion, {}},
        {"missing_address", {u"--home-page"_s}, Action::Refuse, {}},
        {"not_a_web_address", {u"--home-page"_s, u"file:///etc/passwd"_s}, Action::Refuse, {}},
        {"no_host", {u"--home-page=http://"_s}, Action::Refuse, {}},
        {"a_bare_word", {u"--home-page=pubs.example.org"_s}, Action::Refuse, {}},
        {"unknown_option", {u"--homepage=http://a.test/"_s}, Action::Refuse, {}},
        {"stray_word", {u"http://a.test/"_s}, Action::Refuse, {}},
    };
    for (const auto& c : cases) {
        const StartOptions options = ParseStartOptions(c.Arguments);
        EXPECT_EQ(options.Do, c.Expected) << c.Label;
        EXPECT_EQ(options.HomePage, c.HomePage) << c.Label;
        EXPECT_EQ(options.Error.isEmpty(), c.Expected != Action::Refuse) << c.Label;
    }
}

TEST(StartOptionsTest, TheHelpNamesEveryOption)
{
    const QString help = StartOptionsHelp();
    for (const QString& option : {u"--home-page URL"_s, u"--version"_s, u"--help"_s})
        EXPECT_TRUE(help.contains(option)) << option.toStdString();
}

TEST(StartOptionsTest, RootWithTheBrowsersSandboxOnIsRefusedWithAReason)
{
    EXPECT_TRUE(RefuseRootWithSandbox(false, false).ForTerminal.isEmpty());
    EXPECT_TRUE(RefuseRootWithSandbox(true, true).ForTerminal.isEmpty()); // switched off knowingly
    const SandboxRefusal refusal = RefuseRootWithSandbox(true, false);
    EXPECT_TRUE(refusal.ForTerminal.contains(u"normal user"_s));
    EXPECT_TRUE(refusal.ForTerminal.contains(u"QTWEBENGINE_DISABLE_SANDBOX=1"_s));
    EXPECT_TRUE(refusal.ForWindow.contains(u"QTWEBENGINE_DISABLE_SANDBOX=1"_s));

    EXPECT_TRUE(BrowserSandboxSwitchedOff(true, {}));
    EXPECT_TRUE(BrowserSandboxSwitchedOff(false, u"--disable-gpu --no-sandbox"_s));
    EXPECT_FALSE(BrowserSandboxSwitchedOff(false, u"--no-sandboxes"_s));
    EXPECT_FALSE(BrowserSandboxSwitchedOff(false, {}));
}

TEST(ShippedFilesFolderTest, InstalledUnderShareElseBesideTheExecutable)
{
    TempFolder temp;
    const QString bin = temp.makeFolder(u"usr/bin"_s);
    // Installed: bin/ with share/paperpull/ beside it.
    EXPECT_EQ(ShippedFilesFolder(bin), bin); // not yet: share/paperpull is missing
    const QString share = temp.makeFolder(u"usr/share/paperpull"_s);
    EXPECT_EQ(ShippedFilesFolder(bin), share);
    // A build tree's folder is not called bin, whatever lies beside it.
    const QString build = temp.makeFolder(u"build/src/app"_s);
    temp.makeFolder(u"build/src/share/paperpull"_s);
    EXPECT_EQ(ShippedFilesFolder(build), build);
}

} // namespace
