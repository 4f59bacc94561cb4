// engine-bench: downloads a list of addresses with the real scheduler and
// transfers, headless, and prints one line of figures.
//
//   engine-bench [--slots N] [--method 1|2|3] [--proxy HOST:PORT] [--limit-mb M] --out DIR URLS.txt
//
// Methods 1 and 2 run here, on a QCoreApplication with no WebEngine linked.
// --method 3 is the browser's method: its transfers are made by Qt WebEngine,
// and it runs in browser-engine-bench beside this program, which takes the
// same arguments. It is handed over by exec rather than linked in, because
//  - one command line then measures all three methods: a harness that names
//    one ENGINE needs nothing else to measure the browser's method;
//  - methods 1 and 2 keep a driver without the browser, so their start-up and
//    peak RSS stay the engine's own and not those of a WebEngine program;
//  - an exec, not a child process: the process the harness times is the
//    browser's driver itself, start-up included, with its output and exit
//    status, and no parent waiting beside it.

#include "transferbench.h"

#include "downloads/engine/downloadscontroller.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char kName[] = "engine-bench";

// Replaces this process with browser-engine-bench from this program's own
// folder, same arguments; returns only when that failed.
int execBrowserDriver(char* argv[])
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string driver = (error ? std::filesystem::path(argv[0]) : self).parent_path() / "browser-engine-bench";
    std::string first = driver;
    argv[0] = first.data();
    ::execv(driver.c_str(), argv);
    std::fprintf(stderr,
                 "%s: --method 3 runs in %s, which could not be started (%s); build the target "
                 "browser-engine-bench\n",
                 kName, driver.c_str(), std::strerror(errno));
    return 3;
}

} // namespace

int main(int argc, char* argv[])
{
    // Read before any application object exists: a hand-over to the browser's
    // driver then costs this process almost nothing.
    TransferBenchCommandLine line;
    if (const std::optional<QString> problem = ParseTransferBenchCommandLine(argc, argv, line))
        return TransferBenchUsage(kName, *problem);
    if (line.Method == 3)
        return execBrowserDriver(argv);

    QCoreApplication app(argc, argv);
    ProgramValues values = TransferBenchValues(line);
    QuietBenchServices quiet(kName);
    DownloadsController engine(values, quiet, quiet, quiet,
                               {.UserAgent = u"Mozilla/5.0 (X11; Linux x86_64) Paperpull-bench"_s});
    if (const std::optional<QString> problem = AddTransferBenchTasks(engine, line))
        return TransferBenchUsage(kName, *problem);
    RunTransferBench(engine, line);
    return 0;
}
