// The text outputs of the largest schedule, from the window's grid snapshot.
#include "bench/WindowFixture.h"
#include "output/CopyText.h"
#include "output/Report.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void copyLargest(benchmark::State& state) {
    LargestLoanWindow fixture;
    fixture.window->PushButton1_Click();
    const GridSnapshot grid = fixture.window->gridModel().snapshot();
    PageFaults faults;
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildCopyText(*grid));
    }
    faults.report(state);
}
BENCHMARK(copyLargest)->Unit(benchmark::kMillisecond);

void reportLargest(benchmark::State& state) {
    LargestLoanWindow fixture;
    fixture.window->PushButton1_Click();
    const GridSnapshot grid = fixture.window->gridModel().snapshot();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("schedule.txt"));
    PageFaults faults;
    for (auto _ : state) {
        SaveListviewProperlySpacedWithoutProgressBar(*grid, path, *fixture.boxes);
    }
    faults.report(state);
    if (fixture.boxes->shown != 0) {
        state.SkipWithError("the report failed");
    }
}
BENCHMARK(reportLargest)->Unit(benchmark::kMillisecond);

}  // namespace
