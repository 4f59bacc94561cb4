#pragma once

#include "browsertesting.h"

#include "core/appsettings.h"
#include "core/memorysettingsstorage.h"
#include "core/programvalues.h"
#include "downloads/engine/soundclips.h"
#include "support/recordingprompts.h"
#include "support/recordingshell.h"
#include "support/tempfolder.h"
#include "support/testhttpserver.h"
#include "search/searchbrowser.h"
#include "downloads/engine/downloadscontroller.h"
#include "ui/browser/enginebrowsertransfers.h"
#include "ui/mainwindows.h"

#include <QDir>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

struct NoSounds final : SoundPlayer {
    void PlayNotifySound(int) override {}
};

// Answers the save folder question with the folder set beforehand.
struct ChosenFolder final : SaveFolderPrompt {
    explicit ChosenFolder(ProgramValues& v) : values(v) {}
    void showSaveFolderDialog() override
    {
        ++asked;
        values.SaveFolderCancelled = false;
    }
    ProgramValues& values;
    int asked = 0;
};

// The program's windows over a scratch folder, an in-memory store, the
// recording prompts and shell, and a test server standing in for the site.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() : settings(storage, temp.path())
    {
        EXPECT_TRUE(server.listen());
        // Stored too: the download window reads the values again when it loads.
        settings.setPromptSaveFolder(false);
        settings.setSaveFolder(temp.path() + u'/');
        values.PromptSaveFolder = false;
        values.SaveFolder = temp.path() + u'/';
    }

    // A run of the program: its engine (keeping its list in listFile when
    // given), then its windows. A second call is the next run.
    MainWindows& windows(const QString& homePage, const QString& versionServer = {}, const QString& downloadList = {},
                         const QString& analysisList = {})
    {
        // The last run ends, saving its list, before the next one reads it.
        m_windows.reset();
        m_browserTransfers.reset();
        m_engine.reset();
        m_engine = std::make_unique<DownloadsController>(
            values, prompts, shell, sounds,
            DownloadsSetup{.UserAgent = SharedProfile().httpUserAgent(), .CookieJar = cookieJar});
        if (!downloadList.isEmpty())
            EXPECT_TRUE(m_engine->keepListIn(downloadList));
        m_browserTransfers = std::make_unique<EngineBrowserTransfers>(SharedProfile(), *m_engine);
        m_windows = std::make_unique<MainWindows>(MainWindows::Services{
            values, settings, prompts, shell, sounds, SharedProfile(), temp.filePath(QStringLiteral("SaveList.dat")),
            versionServer, homePage, temp.filePath(QStringLiteral("machine.ini")), *m_engine, *m_browserTransfers,
            &saveFolder, nullptr, analysisList});
        return *m_windows;
    }

    static void savePicture(QWidget& window, const QString& name)
    {
        const QImage image = window.grab().toImage();
        ASSERT_FALSE(image.isNull());
        const QString folder = QStringLiteral(PAPERPULL_SCREENSHOT_DIR);
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + u'/' + name + QStringLiteral(".png")));
    }

    TempFolder temp;
    MemorySettingsStorage storage;
    AppSettings settings;
    ProgramValues values;
    RecordingPrompts prompts;
    RecordingShell shell;
    NoSounds sounds;
    ChosenFolder saveFolder{values};
    TestHttpServer server;
    QNetworkCookieJar* cookieJar = nullptr; // the transfers' cookies; none when not given
    std::unique_ptr<DownloadsController> m_engine;
    std::unique_ptr<EngineBrowserTransfers> m_browserTransfers;
    std::unique_ptr<MainWindows> m_windows;
};

template <typename Control>
Control* find(QWidget* window, const QString& name)
{
    auto* found = window != nullptr ? window->findChild<Control*>(name) : nullptr;
    if (found == nullptr)
        ADD_FAILURE() << "no control " << name.toStdString();
    return found;
}
