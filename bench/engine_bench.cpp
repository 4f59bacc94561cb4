// engine-bench: downloads a list of addresses with the real scheduler and
// transfers, headless, and prints one line of figures.
//
//   engine-bench [--slots N] [--method 1|2] [--proxy HOST:PORT] [--limit-mb M] --out DIR URLS.txt

#include "core/programvalues.h"
#include "core/shell.h"
#include "core/textfunctions.h"
#include "core/urlfunctions.h"
#include "core/userprompts.h"
#include "downloads/engine/downloadscontroller.h"
#include "downloads/engine/soundclips.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Quiet final : UserPrompts, Shell, SoundPlayer {
    void showMessage(const QString& text, MessageIcon, const QString&) override
    {
        std::fprintf(stderr, "engine-bench: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, MessageIcon, const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    bool openFile(const QString&) override { return false; }
    bool openAddress(const QString&) override { return false; }
    bool openFolder(const QString&) override { return false; }
    bool showInFolder(const QString&) override { return false; }
    bool startTextEditor(const QString&) override { return false; }
    void setClipboardText(const QString&) override {}
    void PlayNotifySound(int) override {}
};

long peakRssKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

int usage(const QString& problem)
{
    QTextStream(stderr) << u"engine-bench: "_s << problem << u"\nusage: engine-bench [--slots N] [--method 1|2] "
                           "[--proxy HOST:PORT] [--limit-mb M] --out DIR URLS.txt\n"_s;
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int slotCount = 6;
    int method = 2;
    double limitMb = 10;
    QString out;
    QString listFile;
    QString proxy;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == u"--slots"_s && hasValue)
            slotCount = args[++i].toInt(&ok);
        else if (a == u"--method"_s && hasValue)
            method = args[++i].toInt(&ok);
        else if (a == u"--limit-mb"_s && hasValue)
            limitMb = args[++i].toDouble(&ok);
        else if (a == u"--out"_s && hasValue)
            out = args[++i];
        else if (a == u"--proxy"_s && hasValue)
            proxy = args[++i];
        else if (!a.startsWith(u"--"_s) && listFile.isEmpty())
            listFile = a;
        else
            return usage(u"unknown or incomplete argument "_s + a);
        if (!ok)
            return usage(u"not a number after "_s + a);
    }
    if (slotCount < 1 || slotCount > 6)
        return usage(u"--slots takes 1 to 6"_s);
    if (method != 1 && method != 2)
        return usage(u"--method takes 1 or 2"_s);
    QString proxyHost;
    QString proxyPort;
    if (!proxy.isEmpty()) {
        if (method != 1)
            return usage(u"--proxy goes with --method 1"_s);
        proxyHost = proxy.section(u':', 0, 0);
        proxyPort = proxy.section(u':', 1);
        bool portOk = false;
        proxyPort.toUShort(&portOk);
        if (proxyHost.isEmpty() || !portOk)
            return usage(u"--proxy takes HOST:PORT"_s);
    }
    if (out.isEmpty() || listFile.isEmpty())
        return usage(u"--out DIR and a list of addresses are needed"_s);
    QFile list(listFile);
    if (!list.open(QIODevice::ReadOnly))
        return usage(u"cannot read "_s + listFile);
    if (!QDir().mkpath(out))
        return usage(u"cannot create "_s + out);

    ProgramValues values;
    values.MaxFileSizeMB = limitMb;
    values.DownloadMethod = method;
    values.UseProxy = !proxy.isEmpty();
    values.ProxyAddress = proxyHost;
    values.ProxyPort = proxyPort;
    Quiet quiet;
    DownloadsController engine(values, quiet, quiet, quiet,
                               {.UserAgent = u"Mozilla/5.0 (X11; Linux x86_64) Paperpull-bench"_s});
    const QString folder = QDir(out).absolutePath() + u'/';
    for (const QByteArray& line : list.readAll().split('\n')) {
        const QString url = QString::fromUtf8(line).trimmed();
        if (!url.isEmpty())
            engine.model().AddTask(url, SafeFileName(FileNameFromPath(url, true)), UrlFileExtension(url), folder, {});
    }
    DownloadScheduler& scheduler = engine.scheduler();
    scheduler.switches().ThreadCount = method == 1 ? 1 : slotCount;
    scheduler.switches().IntervalSeconds = 0;
    scheduler.switches().Policy = DuplicatePolicy::Rename;
    const DownloadList& tasks = engine.list();

    QElapsedTimer clock;
    clock.start();
    const auto quitWhenDone = [&] {
        // Done when every task is settled and no transfer is loaded; the
        // scheduler itself is switched off only by the next housekeeping tick.
        if (!tasks.AllTasksSettled())
            return;
        for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot) {
            if (scheduler.slotLoaded(slot))
                return;
        }
        app.quit();
    };
    // Looked at right after each transfer ends (queued: the scheduler has
    // finished its own steps by then), so the figure carries no polling
    // delay; the slow timer catches lists that settle without a transfer.
    QObject::connect(&scheduler, &DownloadScheduler::transferEnded, &app, quitWhenDone, Qt::QueuedConnection);
    QTimer done;
    done.setInterval(100);
    QObject::connect(&done, &QTimer::timeout, &app, quitWhenDone);
    scheduler.startHousekeeping();
    scheduler.StartDownloads();
    done.start();
    app.exec();
    const double seconds = clock.elapsed() / 1000.0;

    const StateCounts counts = tasks.CountByState();
    qint64 bytes = 0;
    for (const DownloadTask& t : tasks.tasks()) {
        if (t.State == TaskState::Completed)
            bytes += QFileInfo(TaskFilePath(t)).size();
    }
    std::printf("files=%d completed=%d failed=%d bytes=%lld seconds=%.3f peak_rss_kb=%ld\n", tasks.count(),
                counts.Completed, counts.Failed, static_cast<long long>(bytes), seconds, peakRssKb());
    return 0;
}
