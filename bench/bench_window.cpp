// The working window with the largest schedule: Calculate from the handler's start to a filled
// grid, and the resident memory of the window holding 32768 rows.
#include "mainwindow/Form1.h"
#include "mainwindow/ScheduleGridModel.h"
#include "shell/MessageBoxes.h"
#include "shell/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct CountingBoxes final : MessageBoxes {
    int shown = 0;
    void show(const Message&) override { ++shown; }
};

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

struct LargestLoanWindow {
    // A user's locale: the C locale's short date names the month, which no one reads in a grid.
    QLocale locale = QLocale();
    QTemporaryDir dir;
    std::unique_ptr<Form1> window;
    CountingBoxes* boxes = nullptr;

    LargestLoanWindow() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        window = std::make_unique<Form1>(
            std::make_unique<SettingsStore>(dir.filePath(u"Kestrelor.ini"_s)));
        auto recording = std::make_unique<CountingBoxes>();
        boxes = recording.get();
        window->setMessageBoxes(std::move(recording));
        window->setRandomDraw([] { return 1; });
        window->setUrlOpener([](const QUrl&) {});
        window->Form_Load();
        window->Text1->setText(u"100000"_s);
        window->Text2->setText(u"32767"_s);
        window->Text3->setText(u"11"_s);
        window->show();
        QApplication::processEvents();
    }
    ~LargestLoanWindow() { QLocale::setDefault(locale); }
};

void BM_CalculateLargestSchedule(benchmark::State& state) {
    LargestLoanWindow fixture;
    for (auto _ : state) {
        fixture.window->PushButton1_Click();
        benchmark::DoNotOptimize(fixture.window->gridModel().rowCount());
    }
    if (fixture.window->gridModel().rowCount() != 32768 || fixture.boxes->shown != 0) {
        state.SkipWithError("the schedule did not fill");
    }
    state.counters["rows"] = fixture.window->gridModel().rowCount();
}
BENCHMARK(BM_CalculateLargestSchedule)->Unit(benchmark::kMillisecond);

void BM_WindowResidentWithLargestSchedule(benchmark::State& state) {
    const double before = residentBytes();
    double after = before;
    for (auto _ : state) {
        LargestLoanWindow fixture;
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
BENCHMARK(BM_WindowResidentWithLargestSchedule)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
