#include "core/AutomationDate.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "documents/Chart.h"
#include "output/ScheduleValues.h"
#include "documents/TableFiles.h"
#include "documents/TablePrint.h"
#include "output/TableSource.h"
#include "output/YearlySummary.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

namespace {

// The largest schedule: 32767 instalments and the totals row.
const ScheduleValues& largest() {
    static const ScheduleValues values = [] {
        clsLoanCalculator calculator;
        auto loan = calculator.getLoanDetails();
        loan->setPrincipleAmount(25000000);
        loan->setTenure(32767);
        loan->setInterestRate(9);
        loan->setStartDate(AutomationDate::fromDate(QDate(2026, 1, 1)));
        calculator.CalculateEMI();
        return scheduleValues(*loan);
    }();
    return values;
}

void yearlySummaryLargest(benchmark::State& state) {
    const ScheduleValues& schedule = largest();
    for (auto _ : state) {
        benchmark::DoNotOptimize(yearlySummary(schedule, YearBasis::Calendar));
    }
}
BENCHMARK(yearlySummaryLargest)->Unit(benchmark::kMicrosecond);

void chartPaintLargest(benchmark::State& state) {
    const ChartData data = chartData(largest());
    QImage image(900, 500, QImage::Format_ARGB32_Premultiplied);
    ChartPainter chart(data, QLocale());
    for (auto _ : state) {
        QPainter painter(&image);
        chart.paint(painter, image.rect());
    }
}
BENCHMARK(chartPaintLargest)->Unit(benchmark::kMillisecond);

void pdfLargest(benchmark::State& state) {
    const ScheduleValues& schedule = largest();
    const ScheduleTableSource table(schedule);
    const DocumentFacts facts = scheduleFacts(schedule);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        setUpPage(writer, QLocale());
        benchmark::DoNotOptimize(printTable(writer, table, facts));
    }
}
BENCHMARK(pdfLargest)->Unit(benchmark::kMillisecond)->Iterations(3);

void xlsxLargest(benchmark::State& state) {
    const ScheduleValues& schedule = largest();
    const ScheduleTableSource table(schedule);
    const DocumentFacts facts = scheduleFacts(schedule);
    QString error;
    for (auto _ : state) {
        benchmark::DoNotOptimize(xlsxBytes(table, facts, &error));
    }
}
BENCHMARK(xlsxLargest)->Unit(benchmark::kMillisecond);

}  // namespace
