#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "model/clsSchedule.h"
#include "output/GridData.h"

#include <QDate>
#include <QLocale>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void calculate(clsLoanCalculator& calculator, int months) {
    const auto details = calculator.getLoanDetails();
    details->setPrincipleAmount(100000);
    details->setTenure(static_cast<std::int16_t>(months));
    details->setInterestRate(11);
    details->setStartDate(AutomationDate::fromDate(QDate(2021, 8, 31)));
    calculator.CalculateEMI();
}

void scheduleOnly(benchmark::State& state) {
    const int months = static_cast<int>(state.range(0));
    for (auto _ : state) {
        clsLoanCalculator calculator;
        calculate(calculator, months);
        benchmark::DoNotOptimize(calculator.getScheduleData()->Count());
    }
    state.SetComplexityN(months);
}

// The schedule and the six texts of every grid row, stored in grid rows the way the window
// fills its grid.
void scheduleWithTexts(benchmark::State& state) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int months = static_cast<int>(state.range(0));
    for (auto _ : state) {
        clsLoanCalculator calculator;
        calculate(calculator, months);
        const auto schedule = calculator.getScheduleData();
        const int count = schedule->Count();
        const TextFormatter format;
        std::vector<GridRow> rows;
        rows.reserve(static_cast<std::size_t>(count));
        QString cell;
        for (int i = 1; i <= count; ++i) {
            const clsSchedule& entry = schedule->Item(i);
            const bool totals = i == count;
            cell.clear();
            if (!totals) {
                cell.setNum(i);
            }
            GridRow& row = rows.emplace_back(cell);
            cell.clear();
            if (!totals) {
                format.appendDate(cell, entry.InstallmentDate());
            }
            row.setCell(1, cell);
            const double amounts[] = {entry.OpeningBalance(), entry.PrincipleAmount(),
                                      entry.InterestAmount(), entry.ClosingBalance()};
            for (int k = 0; k < 4; ++k) {
                cell.clear();
                format.appendNumber(cell, amounts[k]);
                row.setCell(k + 2, cell);
            }
        }
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetComplexityN(months);
}

// The six texts of every row alone, into one reused string: what the formatter itself costs.
void scheduleTextsOnly(benchmark::State& state) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int months = static_cast<int>(state.range(0));
    clsLoanCalculator calculator;
    calculate(calculator, months);
    const auto schedule = calculator.getScheduleData();
    const TextFormatter format;
    QString texts;
    for (auto _ : state) {
        const int count = schedule->Count();
        for (int i = 1; i <= count; ++i) {
            const clsSchedule& entry = schedule->Item(i);
            texts.resize(0);
            if (i != count) {
                format.appendNumber(texts, i);
                format.appendDate(texts, entry.InstallmentDate());
            }
            format.appendNumber(texts, entry.OpeningBalance());
            format.appendNumber(texts, entry.PrincipleAmount());
            format.appendNumber(texts, entry.InterestAmount());
            format.appendNumber(texts, entry.ClosingBalance());
            benchmark::DoNotOptimize(texts.constData());
        }
    }
    state.SetComplexityN(months);
}

}  // namespace

BENCHMARK(scheduleTextsOnly)
    ->Arg(12)
    ->Arg(360)
    ->Arg(32767)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(scheduleOnly)
    ->Arg(12)
    ->Arg(360)
    ->Arg(32767)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(scheduleWithTexts)
    ->Arg(12)
    ->Arg(360)
    ->Arg(32767)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
