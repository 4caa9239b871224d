// The working window with the largest schedule: Calculate from the handler's start to a filled
// grid, and the resident memory of the window holding 32768 rows.
#include "bench/WindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Resident set size of this process in bytes, from /proc/self/status.
double residentBytes() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return 0;
    }
    // A /proc file has no size: read it whole rather than testing for its end.
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').front().toDouble() * 1024.0;
        }
    }
    return 0;
}

void calculateLargest(benchmark::State& state) {
    LargestLoanWindow fixture;
    fixture.window->PushButton1_Click();
    PageFaults faults;
    for (auto _ : state) {
        fixture.window->PushButton1_Click();
        benchmark::DoNotOptimize(fixture.window->gridModel().rowCount());
    }
    if (fixture.window->gridModel().rowCount() != 32768 || fixture.boxes->shown != 0) {
        state.SkipWithError("the schedule did not fill");
    }
    faults.report(state);
    state.counters["rows"] = fixture.window->gridModel().rowCount();
}
BENCHMARK(calculateLargest)->Unit(benchmark::kMillisecond);

// The growth from the empty window, shown and painted, to the window holding 32768 rows.
void windowResidentLargest(benchmark::State& state) {
    double before = 0;
    double after = 0;
    for (auto _ : state) {
        LargestLoanWindow fixture;
        fixture.window->repaint();
        QApplication::processEvents();
        before = residentBytes();
        fixture.window->PushButton1_Click();
        // Let the grid lay out and paint its rows as on screen.
        QApplication::processEvents();
        fixture.window->repaint();
        after = residentBytes();
        benchmark::DoNotOptimize(fixture.window->gridModel().rowCount());
    }
    state.counters["VmRSS_MB"] = after / (1024.0 * 1024.0);
    state.counters["growth_MB"] = (after - before) / (1024.0 * 1024.0);
}
BENCHMARK(windowResidentLargest)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
