// The kept lists at the size a long collecting session reaches: saving and
// restoring 100,000 download tasks and 100,000 analysis records, file
// included (the envelope, its checksum and the atomic rename).
#include "downloads/list/downloadlistfile.h"
#include "downloads/list/downloadtablemodel.h"
#include "search/analysislistfile.h"
#include "search/analysistablemodel.h"

#include "core/userprompts.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kRows = 100'000;

// Fields as long as real ones: a title of some 80 letters, an address and a folder.
DownloadList tasks()
{
    DownloadList list;
    for (int i = 0; i < kRows; ++i) {
        const QString n = QString::number(i);
        list.AddTask(u"https://pubs.acs.example/doi/pdf/10.1021/jacs.4c0"_s + n,
                     u"Selective C–H Activation of Arenes by Cooperative Palladium Catalysis, Part "_s + n, u"pdf"_s,
                     u"/home/chemist/文献/2026/催化/"_s, u"https://pubs.acs.example/toc/jacsat/146/1"_s);
        DownloadTask& t = *list.TaskAt(i + 1);
        t.State = static_cast<TaskState>(1 + i % 4);
        t.SizeBytes = 1'000'000 + i;
        t.ReceivedBytes = i % 4 == 2 ? t.SizeBytes : 0;
        t.Size = QString::number(t.SizeBytes);
        t.Received = QString::number(t.ReceivedBytes);
        t.Progress = i % 4 == 2 ? u"100%"_s : u"0%"_s;
    }
    return list;
}

AnalysisList records()
{
    AnalysisList list;
    Citation meta;
    meta.Authors = {u"Jane Q. Smith"_s, u"李华"_s, u"Zoë Müller"_s, u"R. O'Brien"_s};
    meta.Journal = u"J. Am. Chem. Soc."_s;
    meta.Year = u"2026"_s;
    meta.Volume = u"148"_s;
    meta.Issue = u"12"_s;
    meta.PublicationDate = u"March 3, 2026"_s;
    meta.ArticleType = u"Article"_s;
    for (int i = 0; i < kRows; ++i) {
        const QString n = QString::number(i);
        meta.Doi = u"10.1021/jacs.6c0"_s + n;
        meta.Pages = n + u"-"_s + QString::number(i + 9);
        list.AddAnalysisRecord(u"Selective C–H Activation of Arenes by Cooperative Palladium Catalysis, Part "_s + n,
                               u"https://pubs.acs.example/doi/10.1021/jacs.6c0"_s + n,
                               u"https://pubs.acs.example/action/doSearch?AllField=catalysis&startPage=3"_s, u"pdf"_s,
                               {}, u"ACS"_s, meta);
    }
    return list;
}

struct NoPrompts final : UserPrompts {
    void showMessage(const QString&, MessageIcon, const QString&) override { std::abort(); }
    bool askYesNo(const QString&, MessageIcon, const QString&) override { return false; }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
};

void BM_SaveDownloadList100k(benchmark::State& state)
{
    const DownloadList list = tasks();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"downloads.dat"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(downloadlistfile::Save(path, list));
}
BENCHMARK(BM_SaveDownloadList100k)->Unit(benchmark::kMillisecond);

void BM_RestoreDownloadList100k(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"downloads.dat"_s);
    downloadlistfile::Save(path, tasks());
    NoPrompts prompts;
    for (auto _ : state) {
        DownloadList list;
        DownloadTableModel model(list);
        downloadlistfile::Restore(path, model, prompts);
        if (list.count() != kRows)
            state.SkipWithError("not restored");
    }
}
BENCHMARK(BM_RestoreDownloadList100k)->Unit(benchmark::kMillisecond);

void BM_SaveAnalysisList100k(benchmark::State& state)
{
    const AnalysisList list = records();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"analysis.dat"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(analysislistfile::Save(path, list));
}
BENCHMARK(BM_SaveAnalysisList100k)->Unit(benchmark::kMillisecond);

void BM_RestoreAnalysisList100k(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"analysis.dat"_s);
    analysislistfile::Save(path, records());
    NoPrompts prompts;
    for (auto _ : state) {
        AnalysisList list;
        AnalysisTableModel model(list);
        analysislistfile::Restore(path, model, prompts);
        if (list.count() != kRows)
            state.SkipWithError("not restored");
    }
}
BENCHMARK(BM_RestoreAnalysisList100k)->Unit(benchmark::kMillisecond);

} // namespace

// The table models hold timers, which want an application object.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
