#include "transferbench.h"

#include "downloads/engine/downloadscontroller.h"
#include "downloads/engine/downloadscheduler.h"
#include "support/recordingprompts.h"
#include "support/recordingshell.h"
#include "support/tempfolder.h"
#include "support/testhttpserver.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct NoSounds final : SoundPlayer {
    void PlayNotifySound(int) override {}
};

// The headless driver of the transfer benchmarks over more files from one
// host than the scheduler takes within an hour without asking: it ends, with
// its line, whatever the answer, and its own prompts go on.
class TransferBenchTest : public ::testing::Test {
protected:
    TransferBenchTest()
    {
        EXPECT_TRUE(server.listen());
        QByteArray urls;
        for (int i = 1; i <= kFiles; ++i) {
            const QByteArray target = "/f/p" + QByteArray::number(i) + ".pdf";
            server.route(target, {.Body = "%PDF-1.4\n" + QByteArray(2000, 'x') + "\n%%EOF\n"});
            urls += server.url(QString::fromLatin1(target)).toUtf8() + '\n';
        }
        line.ListFile = temp.writeFile(u"urls.txt"_s, urls);
        line.Out = temp.filePath(u"out"_s);
        values = TransferBenchValues(line);
    }

    // Runs the driver; false when it had to be stopped from outside.
    bool run(DownloadsController& engine)
    {
        EXPECT_EQ(AddTransferBenchTasks(engine, line), std::nullopt);
        bool stoppedFromOutside = false;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            stoppedFromOutside = true;
            QCoreApplication::quit();
        });
        guard.start(60000);
        RunTransferBench(engine, line);
        return !stoppedFromOutside;
    }

    static constexpr int kFiles = DownloadScheduler::kBulkStartsPerHour + 4;
    TestHttpServer server;
    TempFolder temp;
    TransferBenchCommandLine line;
    ProgramValues values;
};

TEST_F(TransferBenchTest, AUserWhoSaysNoToGoingOnEndsTheRunWithTheRestWaiting)
{
    RecordingPrompts prompts; // answers No
    RecordingShell shell;
    NoSounds sounds;
    DownloadsController engine(values, prompts, shell, sounds, {});
    ASSERT_TRUE(run(engine)) << "the driver waited for tasks nothing would start";
    const StateCounts counts = engine.list().CountByState();
    EXPECT_EQ(counts.Completed, DownloadScheduler::kBulkStartsPerHour);
    EXPECT_EQ(counts.Waiting, kFiles - DownloadScheduler::kBulkStartsPerHour);
    EXPECT_EQ(prompts.shown.size(), 1);
}

TEST_F(TransferBenchTest, TheBenchsOwnPromptsGoOnAndEveryFileArrives)
{
    QuietBenchServices quiet("transferbench_test");
    DownloadsController engine(values, quiet, quiet, quiet, {});
    ASSERT_TRUE(run(engine));
    EXPECT_EQ(engine.list().CountByState().Completed, kFiles);
}

} // namespace
