#include "transferbench.h"

#include "core/textfunctions.h"
#include "core/urlfunctions.h"
#include "downloads/engine/downloadscontroller.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

std::optional<QString> ParseTransferBenchCommandLine(int argc, char* argv[], TransferBenchCommandLine& line)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    return ParseTransferBenchCommandLine(args, line);
}

std::optional<QString> ParseTransferBenchCommandLine(const QStringList& args, TransferBenchCommandLine& line)
{
    QString proxy;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == u"--slots"_s && hasValue)
            line.Slots = args[++i].toInt(&ok);
        else if (a == u"--method"_s && hasValue)
            line.Method = args[++i].toInt(&ok);
        else if (a == u"--limit-mb"_s && hasValue)
            line.LimitMb = args[++i].toDouble(&ok);
        else if (a == u"--out"_s && hasValue)
            line.Out = args[++i];
        else if (a == u"--proxy"_s && hasValue)
            proxy = args[++i];
        else if (!a.startsWith(u"--"_s) && line.ListFile.isEmpty())
            line.ListFile = a;
        else
            return u"unknown or incomplete argument "_s + a;
        if (!ok)
            return u"not a number after "_s + a;
    }
    if (line.Slots < 1 || line.Slots > 6)
        return u"--slots takes 1 to 6"_s;
    if (line.Method < 1 || line.Method > 3)
        return u"--method takes 1, 2 or 3"_s;
    if (!proxy.isEmpty()) {
        if (line.Method != 1)
            return u"--proxy goes with --method 1"_s;
        line.ProxyHost = proxy.section(u':', 0, 0);
        line.ProxyPort = proxy.section(u':', 1);
        bool portOk = false;
        line.ProxyPort.toUShort(&portOk);
        if (line.ProxyHost.isEmpty() || !portOk)
            return u"--proxy takes HOST:PORT"_s;
    }
    if (line.Out.isEmpty() || line.ListFile.isEmpty())
        return u"--out DIR and a list of addresses are needed"_s;
    return std::nullopt;
}

ProgramValues TransferBenchValues(const TransferBenchCommandLine& line)
{
    ProgramValues values;
    values.MaxFileSizeMB = line.LimitMb;
    values.DownloadMethod = line.Method;
    values.UseProxy = !line.ProxyHost.isEmpty();
    values.ProxyAddress = line.ProxyHost;
    values.ProxyPort = line.ProxyPort;
    // The default waits a second between two starts to the same host; every
    // file of a run comes from one host, so that alone would be the figure.
    values.SecondsBetweenHostStarts = 0;
    values.HostStartsPerHour = 0;
    values.BrowserFallback = false;
    values.CitationBesideFile = false;
    return values;
}

void QuietBenchServices::showMessage(const QString& text, MessageIcon, const QString&)
{
    std::fprintf(stderr, "%s: %s\n", m_driverName, qPrintable(text));
}

bool QuietBenchServices::askYesNo(const QString& text, MessageIcon, const QString&)
{
    std::fprintf(stderr, "%s: %s\n%s: answered yes\n", m_driverName, qPrintable(text), m_driverName);
    return true;
}

int TransferBenchUsage(const char* driverName, const QString& problem)
{
    std::fprintf(stderr, "%s: %s\n%s", driverName, qPrintable(problem), kTransferBenchUsage);
    return 2;
}

std::optional<QString> AddTransferBenchTasks(DownloadsController& engine, const TransferBenchCommandLine& line)
{
    QFile list(line.ListFile);
    if (!list.open(QIODevice::ReadOnly))
        return u"cannot read "_s + line.ListFile;
    if (!QDir().mkpath(line.Out))
        return u"cannot create "_s + line.Out;
    const QString folder = QDir(line.Out).absolutePath() + u'/';
    for (const QByteArray& text : list.readAll().split('\n')) {
        const QString url = QString::fromUtf8(text).trimmed();
        if (!url.isEmpty())
            engine.model().AddTask(url, SafeFileName(FileNameFromPath(url, true)), UrlFileExtension(url), folder, {});
    }
    return std::nullopt;
}

void RunTransferBench(DownloadsController& engine, const TransferBenchCommandLine& line)
{
    DownloadScheduler& scheduler = engine.scheduler();
    scheduler.switches().ThreadCount = line.Method == 1 ? 1 : line.Slots;
    scheduler.switches().IntervalSeconds = 0;
    scheduler.switches().Policy = DuplicatePolicy::Rename;
    const DownloadList& tasks = engine.list();
    QCoreApplication* app = QCoreApplication::instance();

    QElapsedTimer clock;
    clock.start();
    const auto quitWhenDone = [&] {
        // Done when no transfer is loaded and nothing more will start: every
        // task is settled (the scheduler itself is switched off only by the
        // next housekeeping tick), or the scheduler was switched off with
        // tasks still waiting, which no one here would start again.
        if (!tasks.AllTasksSettled() && scheduler.SchedulerEnabled())
            return;
        for (int slot = 1; slot <= DownloadScheduler::kMaxSlots; ++slot) {
            if (scheduler.slotLoaded(slot))
                return;
        }
        QCoreApplication::quit();
    };
    // Looked at right after each transfer ends (queued: the scheduler has
    // finished its own steps by then), so the figure carries no polling
    // delay; the slow timer catches lists that settle without a transfer.
    const QMetaObject::Connection onTransferEnded = QObject::connect(
        &scheduler, &DownloadScheduler::transferEnded, app, quitWhenDone, Qt::QueuedConnection);
    QTimer done;
    done.setInterval(100);
    QObject::connect(&done, &QTimer::timeout, app, quitWhenDone);
    scheduler.startHousekeeping();
    scheduler.StartDownloads();
    done.start();
    QCoreApplication::exec();
    const double seconds = clock.elapsed() / 1000.0;
    // The check reads this function's locals: it must not outlive them.
    QObject::disconnect(onTransferEnded);

    const StateCounts counts = tasks.CountByState();
    if (!tasks.AllTasksSettled())
        std::fprintf(stderr, "the scheduler was switched off with %d tasks waiting\n", counts.Waiting);
    qint64 bytes = 0;
    for (const DownloadTask& t : tasks.tasks()) {
        if (t.State == TaskState::Completed)
            bytes += QFileInfo(TaskFilePath(t)).size();
    }
    std::printf("files=%d completed=%d failed=%d bytes=%lld seconds=%.3f peak_rss_kb=%ld\n", tasks.count(),
                counts.Completed, counts.Failed, static_cast<long long>(bytes), seconds, PeakRssKb());
    std::fflush(stdout);
}

long PeakRssKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& text : status.readAll().split('\n')) {
        if (text.startsWith("VmHWM:"))
            return text.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}
