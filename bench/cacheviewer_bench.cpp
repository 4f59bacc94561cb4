#include "core/browsercache.h"
#include "core/cacheviewer.h"
#include "support/cacheentrywriter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A cache of 20,000 entries as the browser writes them: addresses of papers
// and of the pages around them, bodies of a few kilobytes.
QString makeCache(QTemporaryDir& dir, int count)
{
    const QString folder = dir.filePath(u"home/me/cache"_s);
    for (int n = 0; n < count; ++n) {
        const QByteArray url = "https://pubs.example.org/doi/" + QByteArray(n % 3 == 0 ? "pdf" : "abs")
                               + "/10.1021/jacs." + QByteArray::number(100000 + n) + (n % 3 == 0 ? ".pdf" : "");
        WriteCacheEntry(folder, CacheEntryName(static_cast<quint64>(n) * 7919), {"1/0/" + url, QByteArray(2000 + n % 500, 'b')});
    }
    return folder;
}

// "查看我的缓存" over 20,000 entries: the addresses and the count line, then
// every size, turn by turn, as the window would get them.
void BM_ListMyCache20k(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString folder = makeCache(dir, 20000);
    BrowserCache cache(folder);
    for (auto _ : state) {
        CacheViewer viewer(cache, {{}, {}, dir.filePath(u"home/me"_s)});
        viewer.ShowMyCache();
        QEventLoop loop;
        QObject::connect(&viewer, &CacheViewer::listed, &loop, &QEventLoop::quit);
        if (viewer.sizesPending())
            loop.exec();
        if (viewer.entries().rowCount() != 20000 || viewer.entries().row(19999).Size < 0)
            state.SkipWithError("not every entry was listed with its size");
    }
}
BENCHMARK(BM_ListMyCache20k)->Unit(benchmark::kMillisecond);

// The first pass alone: what stands between the click and the count line.
void BM_ListMyCacheAddressesOnly20k(benchmark::State& state)
{
    QTemporaryDir dir;
    BrowserCache cache(makeCache(dir, 20000));
    for (auto _ : state)
        benchmark::DoNotOptimize(cache.Entries().Entries.size());
}
BENCHMARK(BM_ListMyCacheAddressesOnly20k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
