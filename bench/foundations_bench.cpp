#include "core/textfunctions.h"
#include "downloads/list/downloadlist.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Titles as result pages bring them: Latin, Chinese, symbols, separators,
// line breaks, and now and then one far past the byte limit.
QStringList mixedTitles(int count)
{
    const QStringList pieces = {u"Synthesis of "_s, u"纳米材料的"_s, u"α-Helix/β-sheet "_s, u"Cu(II): a \"review\"? "_s,
                                u"\r\n"_s, u"..."_s, u"催化剂表面"_s, u"Pd-catalysed C–H activation "_s};
    QRandomGenerator generator(7);
    QStringList titles;
    titles.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString title;
        const int parts = (i % 50 == 0) ? 60 : 2 + static_cast<int>(generator.bounded(8u));
        for (int p = 0; p < parts; ++p)
            title += pieces[static_cast<int>(generator.bounded(static_cast<quint32>(pieces.size())))];
        titles.append(title);
    }
    return titles;
}

void BM_SafeFileName10k(benchmark::State& state)
{
    const QStringList titles = mixedTitles(10000);
    for (auto _ : state) {
        for (const QString& title : titles)
            benchmark::DoNotOptimize(SafeFileName(title));
    }
    state.SetItemsProcessed(state.iterations() * titles.size());
}
BENCHMARK(BM_SafeFileName10k)->Unit(benchmark::kMillisecond);

QStringList urls(int count)
{
    QStringList list;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(u"https://pubs.example.org/doi/pdf/10.1021/jacs."_s + QString::number(i));
    return list;
}

void BM_DownloadListAdd100k(benchmark::State& state)
{
    const QStringList addresses = urls(100000);
    for (auto _ : state) {
        DownloadList list;
        for (const QString& url : addresses)
            list.AddTask(url, url.right(12), u"pdf"_s, u"/tmp/papers/"_s, {});
        benchmark::DoNotOptimize(list.count());
    }
    state.SetItemsProcessed(state.iterations() * addresses.size());
}
BENCHMARK(BM_DownloadListAdd100k)->Unit(benchmark::kMillisecond);

void BM_DownloadListQueries100k(benchmark::State& state)
{
    const QStringList addresses = urls(100000);
    DownloadList list;
    for (int i = 0; i < addresses.size(); ++i) {
        list.AddTask(addresses[i], u"n"_s, i % 7 == 0 ? u"htm"_s : u"pdf"_s, u"/tmp/"_s, {});
        list.SetState(i + 1, static_cast<TaskState>(1 + i % 4));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.CountByState());
        benchmark::DoNotOptimize(list.CountBadResults());
        benchmark::DoNotOptimize(list.CountUntouchedTasks());
        benchmark::DoNotOptimize(list.AllTasksSettled());
        benchmark::DoNotOptimize(list.positionOfUrl(addresses[54321]));
    }
}
BENCHMARK(BM_DownloadListQueries100k)->Unit(benchmark::kMillisecond);

void BM_DownloadListDuplicateAdds100k(benchmark::State& state)
{
    const QStringList addresses = urls(100000);
    DownloadList list;
    for (const QString& url : addresses)
        list.AddTask(url, u"n"_s, u"pdf"_s, u"/tmp/"_s, {});
    for (auto _ : state) {
        for (const QString& url : addresses)
            benchmark::DoNotOptimize(list.AddTask(url, u"n"_s, u"pdf"_s, u"/tmp/"_s, {}));
    }
}
BENCHMARK(BM_DownloadListDuplicateAdds100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
