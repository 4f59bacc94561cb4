// paperpull-keptrun: the program's engine with its kept download list and
// nothing else, for tests that end a run the hard way (a kill) and start it
// again.
//
//   paperpull-keptrun --list FILE --folder DIR [--method 1|2] [--policy skip|overwrite|rename] [URL...]
//
// The list is read from FILE when it is there (tasks that were downloading
// come back waiting) and kept there as it changes, as the download window
// keeps its list; URLs not yet listed are added as tasks saving into DIR.
// Downloads start at once; the program ends with 0 when every task is
// settled, printing "completed=N failed=N".

#include "downloads/engine/downloadscontroller.h"
#include "downloads/engine/soundclips.h"
#include "downloads/list/downloadlistfile.h"

#include "core/listsaver.h"
#include "core/programvalues.h"
#include "core/textfunctions.h"
#include "core/urlfunctions.h"
#include "support/recordingprompts.h"
#include "support/recordingshell.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// No sound: the run is headless.
struct Silence final : SoundPlayer {
    void PlayNotifySound(int) override {}
};

DuplicatePolicy policyNamed(const QString& name)
{
    if (name == u"overwrite")
        return DuplicatePolicy::Overwrite;
    if (name == u"rename")
        return DuplicatePolicy::Rename;
    return DuplicatePolicy::Skip;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{u"list"_s, u"the kept list"_s, u"FILE"_s},
                       {u"folder"_s, u"the save folder"_s, u"DIR"_s},
                       {u"method"_s, u"1 or 2"_s, u"N"_s, u"2"_s},
                       {u"policy"_s, u"skip, overwrite or rename"_s, u"NAME"_s, u"skip"_s}});
    parser.addPositionalArgument(u"URL"_s, u"addresses to add"_s);
    parser.process(app);
    const QString listFile = parser.value(u"list"_s);
    if (listFile.isEmpty() || parser.value(u"folder"_s).isEmpty()) {
        std::fprintf(stderr, "paperpull-keptrun: --list and --folder are needed\n");
        return 2;
    }

    ProgramValues values;
    values.DownloadMethod = parser.value(u"method"_s).toInt() == 1 ? 1 : 2;
    values.SecondsBetweenHostStarts = 0;
    RecordingPrompts prompts;
    RecordingShell shell;
    Silence silence;
    DownloadsController engine(values, prompts, shell, silence);
    if (!downloadlistfile::Restore(listFile, engine.model(), prompts))
        return 3;
    for (const QString& url : parser.positionalArguments()) {
        if (engine.list().positionOfUrl(url) == 0)
            engine.model().AddTask(url, FileNameFromPath(url, true), UrlFileExtension(url), parser.value(u"folder"_s),
                                   {});
    }
    ListSaver saver(
        engine.model(), [&](QString* error) { return downloadlistfile::Save(listFile, engine.list(), error); },
        prompts, u"下载列表"_s, 200);

    DownloadScheduler& scheduler = engine.scheduler();
    scheduler.switches().ThreadCount = values.DownloadMethod == 1 ? 1 : 6;
    scheduler.switches().IntervalSeconds = 0;
    scheduler.switches().Policy = policyNamed(parser.value(u"policy"_s));
    QTimer done;
    done.setInterval(50);
    QObject::connect(&done, &QTimer::timeout, &app, [&] {
        if (!engine.list().AllTasksSettled())
            return;
        for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot) {
            if (scheduler.slotLoaded(slot))
                return;
        }
        QCoreApplication::quit();
    });
    scheduler.startHousekeeping();
    scheduler.StartDownloads();
    done.start();
    QCoreApplication::exec();
    saver.flush();
    for (const QString& message : prompts.messages())
        std::fprintf(stderr, "paperpull-keptrun: %s\n", qPrintable(message));
    const StateCounts counts = engine.list().CountByState();
    std::printf("completed=%d failed=%d\n", counts.Completed, counts.Failed);
    return 0;
}
