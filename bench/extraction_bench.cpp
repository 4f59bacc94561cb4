#include "search/analysislist.h"
#include "search/extraction.h"
#include "search/htmlsnapshot.h"

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A result page of today's layout with `entries` articles, as the site serves
// it: check box, title link with markup inside, a few more links per entry.
QByteArray resultPage(int entries)
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset=utf-8><title>Results</title>"
                      "<script>window.config = {a: 1};</script></head><body><div class=search-results>";
    for (int i = 0; i < entries; ++i) {
        const QByteArray doi = "10.1021/jacs.5b" + QByteArray::number(10000 + i);
        html += "<div class=\"issue-item clearfix\"><input type=checkbox name=doi value=\"" + doi + "\">"
                "<div class=issue-item_metadata><h3 class=\"issue-item_title\"><a href=\"/doi/abs/" + doi
              + "\">Enantioselective <i>C&ndash;H</i> Functionalisation of Arenes, Part " + QByteArray::number(i)
              + "</a></h3><ul class=loa><li>A. Author</li><li>B. Author</li></ul>"
                "<span class=pub-date>January 1, 2015</span></div>"
                "<div class=issue-item_footer><a href=\"/doi/full/" + doi + "\">Full text</a>"
                "<a href=\"/doi/pdf/" + doi + "\" title=\"PDF\">PDF (1.2 MB)</a></div></div>\n";
    }
    return html + "</div><a class=\"pagination__btn--next\" href=\"?page=2\">&gt;</a></body></html>";
}

const QString kUrl = u"https://pubs.example.org/action/doSearch?AllField=arene"_s;

void BM_ExtractFromHtml1000(benchmark::State& state)
{
    const QByteArray html = resultPage(1000);
    for (auto _ : state) {
        AnalysisList list;
        benchmark::DoNotOptimize(ExtractPage(SnapshotFromHtml(html, kUrl), {}, list));
    }
    state.counters["page_kb"] = static_cast<double>(html.size()) / 1024;
}
BENCHMARK(BM_ExtractFromHtml1000)->Unit(benchmark::kMillisecond);

void BM_ExtractFromSnapshot1000(benchmark::State& state)
{
    const DomSnapshot page = SnapshotFromHtml(resultPage(1000), kUrl);
    for (auto _ : state) {
        AnalysisList list;
        benchmark::DoNotOptimize(ExtractPage(page, {}, list));
    }
}
BENCHMARK(BM_ExtractFromSnapshot1000)->Unit(benchmark::kMillisecond);

void BM_ExtractFromHtml50000(benchmark::State& state)
{
    const QByteArray html = resultPage(50000);
    for (auto _ : state) {
        AnalysisList list;
        benchmark::DoNotOptimize(ExtractPage(SnapshotFromHtml(html, kUrl), {}, list));
    }
    state.counters["page_mb"] = static_cast<double>(html.size()) / 1024 / 1024;
}
BENCHMARK(BM_ExtractFromHtml50000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_AddRecords100k(benchmark::State& state)
{
    for (auto _ : state) {
        AnalysisList list;
        for (int i = 0; i < 100000; ++i)
            list.AddAnalysisRecord(u"Title "_s + QString::number(i), u"https://pubs.example.org/doi/pdf/10.1021/"_s
                                   + QString::number(i), kUrl, u"pdf"_s, {}, u"ACS"_s);
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_AddRecords100k)->Unit(benchmark::kMillisecond);

void BM_ClearTitleContaining100k(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        AnalysisList list;
        for (int i = 0; i < 100000; ++i)
            list.AddAnalysisRecord((i % 3 ? u"Copper catalysis "_s : u"Zinc "_s) + QString::number(i),
                                   QString::number(i), kUrl, u"pdf"_s, {}, u"ACS"_s);
        state.ResumeTiming();
        const QString text = u"COPPER"_s;
        list.removeIf([&](const AnalysisRecord& r) { return r.Title.contains(text, Qt::CaseInsensitive); });
    }
}
BENCHMARK(BM_ClearTitleContaining100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
