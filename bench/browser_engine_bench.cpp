// browser-engine-bench: engine-bench for the browser's method (3). The same
// command line and the same one line of figures; the tasks are downloaded by
// the program's browser profile through the browser's transfers, as the
// download window runs them, with no window.
//
//   browser-engine-bench [--slots N] [--method 3] [--limit-mb M] --out DIR URLS.txt
//
// engine-bench --method 3 execs this program. It sets up what the browser
// needs by itself, so a plain command line works: the offscreen platform, no
// sandbox when run as root (Chromium refuses to start otherwise), and a home
// and XDG folders of its own, so the profile starts empty on every run and
// never touches the user's (the start-up of a fresh profile is part of every
// figure).

#include "transferbench.h"

#include "downloads/engine/downloadscontroller.h"
#include "ui/browser/browserprofile.h"
#include "ui/browser/browsertransferfactory.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char kName[] = "browser-engine-bench";

void setIfUnset(const char* name, const QByteArray& value)
{
    if (!qEnvironmentVariableIsSet(name))
        qputenv(name, value);
}

// HOME and the XDG folders inside home (which must outlive the application).
bool usePrivateFolders(const QTemporaryDir& home)
{
    if (!home.isValid())
        return false;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = home.path() + u'/' + QString::fromLatin1(name).toLower();
        if (!QDir().mkpath(folder))
            return false;
        qputenv(name, QFile::encodeName(folder));
    }
    // The runtime folder must be the user's alone, or Qt warns and ignores it.
    return QFile::setPermissions(home.path() + u"/xdg_runtime_dir"_s,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// The browser's own work runs in helper processes (zygote, renderers) that
// this process's peak RSS and CPU leave out, and that end with it unreaped,
// so a timer outside may not count them either. Read at the end of the run,
// before the browser goes: the peak RSS of this process and of every helper
// still running, summed, and the CPU of all of them with their children that
// have already exited (a renderer per page, forked by the zygote).
struct ProcessTreeUse {
    int Helpers = 0;
    long PeakKbSummed = 0;
    double CpuSeconds = 0;
};

long statusField(const QString& pid, const QByteArray& field)
{
    QFile status(u"/proc/"_s + pid + u"/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& text : status.readAll().split('\n')) {
        if (text.startsWith(field))
            return text.mid(field.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// utime + stime + cutime + cstime of /proc/PID/stat, in seconds.
double cpuSeconds(const QString& pid)
{
    QFile stat(u"/proc/"_s + pid + u"/stat"_s);
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which may hold spaces and brackets;
    // utime is the 14th field of the line, the 12th after the name.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    double ticks = 0;
    for (qsizetype i = 11; i <= 14 && i < fields.size(); ++i)
        ticks += fields[i].toDouble();
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

ProcessTreeUse processTreeUse()
{
    QHash<long, QList<QString>> children;
    for (const QString& pid : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        pid.toLong(&isPid);
        if (isPid)
            children[statusField(pid, "PPid:")].append(pid);
    }
    const QString self = QString::number(::getpid());
    ProcessTreeUse tree;
    tree.PeakKbSummed = PeakRssKb();
    tree.CpuSeconds = cpuSeconds(self);
    QList<QString> pending = children.value(self.toLong());
    while (!pending.isEmpty()) {
        const QString pid = pending.takeLast();
        const long peak = statusField(pid, "VmHWM:");
        if (peak > 0) {
            ++tree.Helpers;
            tree.PeakKbSummed += peak;
        }
        tree.CpuSeconds += cpuSeconds(pid);
        pending.append(children.value(pid.toLong()));
    }
    return tree;
}

} // namespace

int main(int argc, char* argv[])
{
    TransferBenchCommandLine line;
    line.Method = 3;
    if (const std::optional<QString> problem = ParseTransferBenchCommandLine(argc, argv, line))
        return TransferBenchUsage(kName, *problem);
    if (line.Method != 3)
        return TransferBenchUsage(kName, u"runs the browser's method (3) only; methods 1 and 2 are engine-bench's"_s);

    const QTemporaryDir home;
    if (!usePrivateFolders(home))
        return TransferBenchUsage(kName, u"cannot make a private home folder under "_s + QDir::tempPath());
    setIfUnset("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        setIfUnset("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // the browser's pages need it
    QApplication app(argc, argv);

    ProgramValues values = TransferBenchValues(line);
    QuietBenchServices quiet(kName);
    // Declared in this order so they go in the other: the engine (and its
    // transfers' pages) before the factory, the factory before the profile,
    // the profile before the application.
    BrowserProfile profile;
    BrowserTransferFactory browserTransfers(profile, values, SecondsSinceMidnight, false);
    DownloadsController engine(values, quiet, quiet, quiet, {.UserAgent = profile.httpUserAgent()});
    // No retry factory: the browser's method has no fallback to retry with.
    engine.scheduler().setBrowserTransferFactories(&browserTransfers, nullptr);
    if (const std::optional<QString> problem = AddTransferBenchTasks(engine, line))
        return TransferBenchUsage(kName, *problem);
    RunTransferBench(engine, line);
    const ProcessTreeUse tree = processTreeUse();
    std::fprintf(stderr,
                 "%s: this process and %d helper processes still running: peak RSS summed %ld kB, CPU %.2f s\n",
                 kName, tree.Helpers, tree.PeakKbSummed, tree.CpuSeconds);
    return 0;
}
