#include "output/LibreOfficeCalc.h"

#include <QDate>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QLocale benchLocale(QLocale::English, QLocale::UnitedKingdom);

// The largest schedule as the export hands it over: a header row, 32767 instalments and the
// totals row, every cell a text.
const std::vector<QStringList>& largestScheduleTexts() {
    static const std::vector<QStringList> rows = [] {
        std::vector<QStringList> out;
        out.push_back({u"#"_s, u"Date"_s, u"Opening Bal."_s, u"Principle Amt."_s,
                       u"Interest Amt."_s, u"Closing Bal."_s});
        constexpr int instalments = 32767;
        const QDate start(2024, 1, 15);
        double balance = 25000000.0;
        for (int i = 1; i <= instalments; ++i) {
            const double interest = balance * 0.0075;
            const double principal = 190000.0 - interest > 0 ? 190000.0 - interest : 763.41;
            const double opening = balance;
            balance = balance > principal ? balance - principal : 0.0;
            out.push_back({QString::number(i), start.addMonths(i).toString(u"dd/MM/yyyy"_s),
                           QString::number(opening, 'f', 2), QString::number(principal, 'f', 2),
                           QString::number(interest, 'f', 2), QString::number(balance, 'f', 2)});
        }
        out.push_back({u""_s, u""_s, u"25000000"_s, u"25000000"_s, u"6057.99"_s, u"0"_s});
        return out;
    }();
    return rows;
}

std::unique_ptr<LibreOfficeCalcWorkbook> filledWorkbook() {
    auto workbook = std::make_unique<LibreOfficeCalcWorkbook>(benchLocale);
    auto sheet = workbook->ActiveSheet();
    const auto& rows = largestScheduleTexts();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            sheet->Cells(static_cast<int>(r) + 1, c + 1) = rows[r][c];
        }
    }
    sheet->Columns().AutoFit();
    return workbook;
}

// Writing the .xlsx file that Calc opens; the target is 300 ms.
void BM_SpreadsheetWriteXlsxLargest(benchmark::State& state) {
    const auto workbook = filledWorkbook();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Book1.xlsx"_s);
    for (auto _ : state) {
        workbook->writeXlsx(path);
    }
}
BENCHMARK(BM_SpreadsheetWriteXlsxLargest)->Unit(benchmark::kMillisecond);

// Filling the in-memory workbook cell by cell, each text read as a person typing it.
void BM_SpreadsheetFillLargest(benchmark::State& state) {
    largestScheduleTexts();
    for (auto _ : state) {
        benchmark::DoNotOptimize(filledWorkbook());
    }
}
BENCHMARK(BM_SpreadsheetFillLargest)->Unit(benchmark::kMillisecond);

}  // namespace
