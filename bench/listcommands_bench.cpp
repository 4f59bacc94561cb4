#include "core/userprompts.h"
#include "core/shell.h"
#include "downloads/list/downloadactivity.h"
#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/listcommands.h"
#include "downloads/list/listordering.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Idle final : DownloadActivity {
    bool DownloadsActive() const override { return false; }
    bool TransferBusy() const override { return false; }
    bool SchedulerEnabled() const override { return false; }
};

struct Silent final : UserPrompts {
    void showMessage(const QString&, MessageIcon, const QString&) override {}
    bool askYesNo(const QString&, MessageIcon, const QString&) override { return true; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return u"50000"_s; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
};

struct NoShell final : Shell {
    bool openFile(const QString&) override { return true; }
    bool openAddress(const QString&) override { return true; }
    bool openFolder(const QString&) override { return true; }
    bool showInFolder(const QString&) override { return true; }
    bool startTextEditor(const QString&) override { return true; }
    void setClipboardText(const QString&) override {}
};

// 100,000 tasks in mixed states, sizes and names, in a folder with no files.
void fill(DownloadList& list, int count, const QString& folder)
{
    QRandomGenerator random(3);
    for (int i = 0; i < count; ++i) {
        const QString url = u"https://pubs.example.org/doi/pdf/10.1021/x."_s + QString::number(i);
        list.AddTask(url, u"Article "_s + QString::number(random.bounded(1000000u)), i % 9 == 0 ? u"htm"_s : u"pdf"_s,
                     folder, {});
        DownloadTask& t = *list.TaskAt(i + 1);
        t.State = static_cast<TaskState>(1 + i % 4);
        if (t.State != TaskState::Waiting) {
            t.Size = QString::number(random.bounded(50000000u));
            t.Received = t.Size;
            t.Progress = u"100%"_s;
        }
    }
}

struct Setup {
    QTemporaryDir dir;
    DownloadList list;
    DownloadTableModel model{list};
    Idle activity;
    Silent prompts;
    NoShell shell;
    DownloadListCommands commands{model, activity, prompts, shell};
    DownloadListOrdering ordering{model, activity, prompts, 1};
    explicit Setup(int count) { fill(list, count, dir.path() + u'/'); }
};

void BM_SortBySize100k(benchmark::State& state)
{
    Setup s(100000);
    for (auto _ : state)
        s.ordering.SortTasksByColumn(3);
}
BENCHMARK(BM_SortBySize100k)->Unit(benchmark::kMillisecond);

void BM_SortByName100k(benchmark::State& state)
{
    Setup s(100000);
    for (auto _ : state)
        s.ordering.SortTasksByColumn(1);
}
BENCHMARK(BM_SortByName100k)->Unit(benchmark::kMillisecond);

void BM_Shuffle100k(benchmark::State& state)
{
    Setup s(100000);
    for (auto _ : state)
        s.ordering.ShuffleTasks();
}
BENCHMARK(BM_Shuffle100k)->Unit(benchmark::kMillisecond);

void BM_ClearFailed100k(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Setup s(100000);
        state.ResumeTiming();
        s.commands.ClearFailedTasks();
    }
}
BENCHMARK(BM_ClearFailed100k)->Unit(benchmark::kMillisecond);

void BM_RedownloadFailed100k(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Setup s(100000);
        state.ResumeTiming();
        s.commands.RedownloadFailedTasks();
    }
}
BENCHMARK(BM_RedownloadFailed100k)->Unit(benchmark::kMillisecond);

void BM_CountBadResults100k(benchmark::State& state)
{
    Setup s(100000);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.list.CountBadResults());
}
BENCHMARK(BM_CountBadResults100k)->Unit(benchmark::kMillisecond);

void BM_MarkMissingFiles10kRealFiles(benchmark::State& state)
{
    Setup s(10000);
    for (int p = 1; p <= s.list.count(); p += 2) { // half the files exist
        QFile file(TaskFilePath(*s.list.TaskAt(p)));
        if (file.open(QIODevice::WriteOnly))
            file.write("%PDF");
    }
    for (auto _ : state)
        s.commands.MarkMissingFiles();
}
BENCHMARK(BM_MarkMissingFiles10kRealFiles)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
