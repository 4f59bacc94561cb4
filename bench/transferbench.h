#pragma once

#include "core/programvalues.h"
#include "core/shell.h"
#include "core/userprompts.h"
#include "downloads/engine/soundclips.h"

#include <QString>
#include <QStringList>

#include <optional>

class DownloadsController;

// What engine-bench and browser-engine-bench share: one command line, the run
// values every method is measured with, and one run that prints one line.
// Kept apart from both drivers so that the lean one links no WebEngine and the
// browser's one cannot drift from it in what it measures or prints.

// engine-bench [--slots N] [--method 1|2|3] [--proxy HOST:PORT] [--limit-mb M] --out DIR URLS.txt
struct TransferBenchCommandLine {
    int Slots = 6;
    int Method = 2;
    double LimitMb = 10;
    QString Out;
    QString ListFile;
    QString ProxyHost;
    QString ProxyPort;
};

inline constexpr char kTransferBenchUsage[]
    = "usage: engine-bench [--slots N] [--method 1|2|3] [--proxy HOST:PORT] [--limit-mb M] --out DIR URLS.txt\n"
      "       (--method 3 runs in browser-engine-bench, which takes the same arguments)\n";

// The arguments after the program's name; the problem with them when they do
// not make a command line (the list file and folder are not looked at here).
std::optional<QString> ParseTransferBenchCommandLine(const QStringList& arguments, TransferBenchCommandLine& line);
// The same, read straight from main's arguments (before any application object exists).
std::optional<QString> ParseTransferBenchCommandLine(int argc, char* argv[], TransferBenchCommandLine& line);

// The program's values for a measured run: the method, size limit and proxy
// of the command line, and nothing that would pace or add to the transfers
// (no wait between starts to one host, no hourly cap, no retry in the browser,
// no citation file beside each paper): the figures are of the transfers alone.
ProgramValues TransferBenchValues(const TransferBenchCommandLine& line);

// Prompts, shell and sounds that never block: messages go to stderr with the
// driver's name in front. A question is answered "yes", as by a user who
// means the run to go on: the one a run asks is whether to go on after many
// files from one host within an hour, and every run here takes them all
// from one host.
class QuietBenchServices final : public UserPrompts, public Shell, public SoundPlayer {
public:
    explicit QuietBenchServices(const char* driverName)
        : m_driverName(driverName)
    {
    }
    void showMessage(const QString& text, MessageIcon, const QString&) override;
    bool askYesNo(const QString& text, MessageIcon, const QString&) override;
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

private:
    const char* m_driverName;
};

// Prints the problem and the usage to stderr; returns the exit code for bad
// arguments (2).
int TransferBenchUsage(const char* driverName, const QString& problem);

// Reads the list into the engine's tasks (names from the address, into the
// --out folder); the problem when the list or the folder cannot be used.
std::optional<QString> AddTransferBenchTasks(DownloadsController& engine, const TransferBenchCommandLine& line);

// Runs the engine's scheduler over its list until every slot is empty and
// either every task is settled or the scheduler was switched off (nothing
// would start any more), then prints
//   files=N completed=C failed=F bytes=B seconds=S peak_rss_kb=K
// (seconds from the start of the downloads to the end of the last transfer;
// peak RSS of this process).
void RunTransferBench(DownloadsController& engine, const TransferBenchCommandLine& line);

// This process's peak resident size in kB (VmHWM), -1 when unknown.
long PeakRssKb();
