#include "output/Clipboard.h"
#include "output/GridData.h"
#include "output/Report.h"
#include "shell/MessageBoxes.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// The largest schedule the program makes: 32767 instalments and the totals row.
const GridData& largestSchedule() {
    static const GridData grid = [] {
        std::vector<GridRow> rows;
        constexpr int instalments = 32767;
        double balance = 25000000.0;
        rows.reserve(instalments + 1);
        for (int i = 1; i <= instalments; ++i) {
            const double interest = balance * 0.0075;
            const double principal = 190000.0 - interest > 0 ? 190000.0 - interest : 763.41;
            GridRow row(QString::number(i));
            row.setCell(1, u"%1/%2/%3"_s.arg(i % 12 + 1).arg(i % 28 + 1).arg(2022 + i / 12));
            row.setCell(2, QString::number(balance, 'f', 2));
            row.setCell(3, QString::number(principal, 'f', 2));
            row.setCell(4, QString::number(interest, 'f', 2));
            balance = balance > principal ? balance - principal : 0.0;
            row.setCell(5, QString::number(balance, 'f', 2));
            rows.push_back(std::move(row));
        }
        GridRow totals(u""_s);
        totals.setCell(1, u""_s);
        totals.setCell(2, u""_s);
        totals.setCell(3, u"25000000"_s);
        totals.setCell(4, u"6225883311.27"_s);
        totals.setCell(5, u""_s);
        rows.push_back(std::move(totals));
        return GridData({u"#"_s, u"Date"_s, u"Opening Bal."_s, u"Principle Amt."_s,
                         u"Interest Amt."_s, u"Closing Bal."_s},
                        std::move(rows));
    }();
    return grid;
}

struct SilentBoxes final : MessageBoxes {
    void show(const Message&) override {}
};

void BM_CopyText(benchmark::State& state) {
    const GridData& grid = largestSchedule();
    for (auto _ : state) {
        benchmark::DoNotOptimize(buildCopyText(grid));
    }
}
BENCHMARK(BM_CopyText)->Unit(benchmark::kMillisecond);

void BM_ReportToBuffer(benchmark::State& state) {
    const GridData& grid = largestSchedule();
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        writeReport(grid, buffer);
        benchmark::DoNotOptimize(buffer.data().size());
    }
}
BENCHMARK(BM_ReportToBuffer)->Unit(benchmark::kMillisecond);

void BM_ReportToFile(benchmark::State& state) {
    const GridData& grid = largestSchedule();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"schedule.txt"_s);
    SilentBoxes boxes;
    for (auto _ : state) {
        SaveListviewProperlySpacedWithoutProgressBar(grid, path, boxes);
    }
}
BENCHMARK(BM_ReportToFile)->Unit(benchmark::kMillisecond);

}  // namespace
