#include "core/appsettings.h"
#include "core/inisettingsstorage.h"
#include "core/memorysettingsstorage.h"
#include "core/programvalues.h"
#include "core/windowplacement.h"
#include "support/tempfolder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kWindow = AppSettings::kDownloadWindow;

TEST(AppSettings, FirstStartDefaults)
{
    MemorySettingsStorage storage;
    const AppSettings settings(storage, u"/opt/paperpull"_s);
    EXPECT_EQ(settings.downloadMethod(), 2);
    EXPECT_TRUE(settings.browserFallback());
    EXPECT_EQ(settings.threadPosition(), 2);
    EXPECT_EQ(settings.duplicatePolicy(), u"重命名"_s);
    EXPECT_EQ(settings.maxFileSizeMB(), 10.0);
    EXPECT_TRUE(settings.promptSaveFolder());
    EXPECT_FALSE(settings.useProxy());
    EXPECT_EQ(settings.proxyAddress(), u""_s);
    EXPECT_EQ(settings.saveFolder(), QDir::homePath() + u"/12345"_s);
    EXPECT_EQ(settings.windowResolution(kWindow), u"000"_s);
    EXPECT_EQ(settings.copyDestinationFolder(), u""_s);
    EXPECT_EQ(settings.copyOptionIndex(), 4);
    EXPECT_EQ(settings.lastOpenedFolder(), u"/opt/paperpull"_s);
}

TEST(AppSettings, StoresUnderTheProgramsSectionsAndKeys)
{
    MemorySettingsStorage storage;
    AppSettings settings(storage, {});
    settings.setDownloadMethod(1);
    settings.setThreadPosition(5);
    settings.setDuplicatePolicy(u" 覆盖 "_s);
    settings.setUseProxy(true);
    settings.setMaxFileSizeMB(2.5);
    settings.setPromptSaveFolder(false);
    settings.setSaveFolder(u"/data/papers/"_s);
    settings.setCopyOptionIndex(1);

    const std::tuple<QString, QString, QString> stored[] = {
        {u"设置"_s, u"下载方式"_s, u"1"_s},
        {u"下载"_s, u"线程"_s, u"5"_s},
        {u"专利下载"_s, u"重复文件名设置"_s, u"覆盖"_s},
        {u"设置"_s, u"代理服务器有效"_s, u"1"_s},
        {u"设置"_s, u"文件最大值"_s, u"2.5"_s},
        {u"设置"_s, u"提取网页信息时提示下载保存路径"_s, u"0"_s},
        {u"设置"_s, u"下载文件保存路径"_s, u"/data/papers/"_s},
        {u"Form_Copy_Move"_s, u"OpIndex"_s, u"1"_s},
    };
    for (const auto& [section, key, value] : stored)
        EXPECT_EQ(storage.read(section, key), value) << key.toStdString();

    ProgramValues values;
    values.loadFrom(settings);
    EXPECT_EQ(values.DownloadMethod, 1);
    EXPECT_TRUE(values.UseProxy);
    EXPECT_EQ(values.MaxFileSizeMB, 2.5);
    EXPECT_EQ(values.maxFileSizeBytes(), 2.5 * 1024 * 1024);
    EXPECT_FALSE(values.PromptSaveFolder);
    EXPECT_EQ(values.SaveFolder, u"/data/papers/"_s);
}

TEST(AppSettings, TheBrowsersMethodAndTheFallbackSwitchAreStored)
{
    MemorySettingsStorage storage;
    AppSettings settings(storage, {});
    settings.setDownloadMethod(3);
    settings.setBrowserFallback(false);
    EXPECT_EQ(storage.read(u"设置"_s, u"下载方式"_s), u"3"_s);
    EXPECT_EQ(storage.read(u"设置"_s, u"网页验证时浏览器重试"_s), u"0"_s);
    ProgramValues values;
    values.loadFrom(settings);
    EXPECT_EQ(values.DownloadMethod, 3);
    EXPECT_FALSE(values.BrowserFallback);
    // A method the program does not have reads as the default one.
    storage.write(u"设置"_s, u"下载方式"_s, u"4"_s);
    EXPECT_EQ(settings.downloadMethod(), 2);
}

TEST(AppSettings, ThePaceOfStartsToOneHost)
{
    MemorySettingsStorage storage;
    AppSettings settings(storage, {});
    EXPECT_EQ(settings.secondsBetweenHostStarts(), 1);
    EXPECT_EQ(settings.hostStartsPerHour(), 0);
    settings.setSecondsBetweenHostStarts(0);
    settings.setHostStartsPerHour(120);
    EXPECT_EQ(storage.read(u"设置"_s, u"同一网站两次开始的间隔"_s), u"0"_s);
    EXPECT_EQ(storage.read(u"设置"_s, u"每小时最多下载篇数"_s), u"120"_s);
    ProgramValues values;
    values.loadFrom(settings);
    EXPECT_EQ(values.SecondsBetweenHostStarts, 0);
    EXPECT_EQ(values.HostStartsPerHour, 120);
    // A value from a hand-edited file that the options would refuse reads as the default.
    for (const QString& bad : {u"-1"_s, u"2.5"_s, u"soon"_s, u"3601"_s}) {
        storage.write(u"设置"_s, u"同一网站两次开始的间隔"_s, bad);
        EXPECT_EQ(settings.secondsBetweenHostStarts(), 1) << bad.toStdString();
    }
    storage.write(u"设置"_s, u"每小时最多下载篇数"_s, u"-5"_s);
    EXPECT_EQ(settings.hostStartsPerHour(), 0);
}

TEST(AppSettings, UnparsableOrOutOfRangeNumbersReadAsDefault)
{
    MemorySettingsStorage storage;
    const AppSettings settings(storage, {});
    storage.write(u"设置"_s, u"下载方式"_s, u"fast"_s);
    storage.write(u"下载"_s, u"线程"_s, u"9"_s);
    storage.write(u"设置"_s, u"文件最大值"_s, u"ten"_s);
    storage.write(u"设置"_s, u"代理服务器有效"_s, u""_s);
    storage.write(kWindow, u"宽"_s, u"\u0000\u00ff"_s);
    storage.write(u"Form_Copy_Move"_s, u"OpIndex"_s, u"0"_s);
    EXPECT_EQ(settings.downloadMethod(), 2);
    EXPECT_EQ(settings.threadPosition(), 2);
    EXPECT_EQ(settings.maxFileSizeMB(), 10.0);
    EXPECT_FALSE(settings.useProxy());
    EXPECT_EQ(settings.windowWidth(kWindow), 15000);
    EXPECT_EQ(settings.copyOptionIndex(), 4);
}

TEST(IniSettingsStorage, SurvivesAReopenWithChineseNames)
{
    TempFolder temp;
    const QString file = temp.filePath(u"Paperpull.ini"_s);
    {
        IniSettingsStorage storage(file);
        AppSettings settings(storage, {});
        settings.setDuplicatePolicy(u"跳过"_s);
        settings.setSaveFolder(u"/home/用户/文献/"_s);
    }
    IniSettingsStorage reopened(file);
    const AppSettings settings(reopened, {});
    EXPECT_EQ(settings.duplicatePolicy(), u"跳过"_s);
    EXPECT_EQ(settings.saveFolder(), u"/home/用户/文献/"_s);
    EXPECT_FALSE(reopened.read(u"设置"_s, u"nothing"_s).has_value());
}

TEST(IniSettingsStorage, GarbageFileReadsAsDefaults)
{
    TempFolder temp;
    const QString file = temp.writeFile(u"bad.ini"_s, QByteArray(4096, '\xff') + "\n[\n=\n");
    IniSettingsStorage storage(file);
    const AppSettings settings(storage, {});
    EXPECT_EQ(settings.downloadMethod(), 2);
    EXPECT_EQ(settings.duplicatePolicy(), u"重命名"_s);
}

TEST(WindowPlacement, ResolutionTextRoundsTwipsToPixels)
{
    EXPECT_EQ(ScreenResolutionText(1920 * 15, 1080 * 15), u"1920*1080"_s);
    EXPECT_EQ(ScreenResolutionText(1366 * 15 + 8, 768 * 15 - 7), u"1367*768"_s);
}

TEST(WindowPlacement, MaximisedCloseStoresOnlyTheMarker)
{
    MemorySettingsStorage storage;
    AppSettings settings(storage, {});
    const QString screen = u"1920*1080"_s;
    SaveWindowPlacement(settings, kWindow, {false, 600, 900, 12000, 8000}, screen);
    SaveWindowPlacement(settings, kWindow, {true, 1, 2, 3, 4}, screen);

    EXPECT_EQ(storage.read(kWindow, u"分辨率"_s), u"0*0"_s);
    EXPECT_EQ(storage.read(kWindow, u"上"_s), u"600"_s);
    EXPECT_EQ(storage.read(kWindow, u"宽"_s), u"12000"_s);
    EXPECT_TRUE(RestoreWindowPlacement(settings, kWindow, screen).Maximised);
}

TEST(WindowPlacement, FirstGeometryIsMostOfTheAvailableAreaCentred)
{
    const struct {
        const char* Name;
        QRect Available;
        QSize Needed;
        QRect Expected;
    } cases[] = {
        {"nine_tenths_centred", {0, 0, 1600, 900}, {800, 500}, {80, 45, 1440, 810}},
        {"below_a_top_panel", {0, 27, 1920, 1053}, {800, 500}, {96, 80, 1728, 947}},
        {"on_a_second_screen", {1920, 0, 1280, 1024}, {800, 500}, {1984, 51, 1152, 921}},
        {"what_the_controls_need_when_more", {0, 0, 1024, 600}, {1000, 580}, {12, 10, 1000, 580}},
        {"the_controls_even_past_the_area", {0, 0, 800, 600}, {1100, 400}, {0, 30, 1100, 540}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirstWindowGeometry(c.Available, c.Needed), c.Expected) << c.Name;
}

TEST(WindowPlacement, AStoredRectangleIsKeptWithinTheAvailableArea)
{
    const QRect screen(0, 0, 1600, 860);
    const struct {
        const char* Name;
        QRect Stored;
        QRect Expected;
    } cases[] = {
        {"inside_unchanged", {100, 50, 1145, 700}, {100, 50, 1145, 700}},
        {"grown_past_the_width", {-10, 20, 1690, 700}, {0, 20, 1600, 700}},
        {"off_the_right_edge_moved_back", {900, 20, 1145, 700}, {455, 20, 1145, 700}},
        {"taller_than_the_area", {0, 100, 800, 1000}, {0, 0, 800, 860}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeptWithinArea(c.Stored, screen), c.Expected) << c.Name;
    EXPECT_EQ(KeptWithinArea({5, 5, 3000, 3000}, {}), QRect(5, 5, 3000, 3000)); // no screen known
}

TEST(WindowPlacement, RestoreTable)
{
    struct Case {
        const char* Name;
        QString Stored; // "" = nothing stored
        int Top, Left, Width, Height;
        WindowPlacement Expected;
    };
    const QString screen = u"1920*1080"_s;
    const Case cases[] = {
        {"first_run_maximised", u""_s, 0, 0, 0, 0, {true, 0, 0, 0, 0}},
        {"other_resolution_maximised", u"1024*768"_s, 600, 900, 12000, 8000, {true, 0, 0, 0, 0}},
        {"same_resolution_restored", screen, 600, 900, 12000, 8000, {false, 600, 900, 12000, 8000}},
        {"negative_top_becomes_zero", screen, -300, -5, 12000, 8000, {false, 0, 0, 12000, 8000}},
        {"small_size_raised_to_minimum", screen, 10, 10, 2000, 1000, {false, 10, 10, 4000, 3000}},
    };
    for (const Case& c : cases) {
        MemorySettingsStorage storage;
        AppSettings settings(storage, {});
        if (!c.Stored.isEmpty()) {
            settings.setWindowResolution(kWindow, c.Stored);
            settings.setWindowTop(kWindow, c.Top);
            settings.setWindowLeft(kWindow, c.Left);
            settings.setWindowWidth(kWindow, c.Width);
            settings.setWindowHeight(kWindow, c.Height);
        }
        const WindowPlacement p = RestoreWindowPlacement(settings, kWindow, screen);
        EXPECT_EQ(p.Maximised, c.Expected.Maximised) << c.Name;
        if (!c.Expected.Maximised) {
            EXPECT_EQ(p.Top, c.Expected.Top) << c.Name;
            EXPECT_EQ(p.Left, c.Expected.Left) << c.Name;
            EXPECT_EQ(p.Width, c.Expected.Width) << c.Name;
            EXPECT_EQ(p.Height, c.Expected.Height) << c.Name;
        }
    }
}

} // namespace
