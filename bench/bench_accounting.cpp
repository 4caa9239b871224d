#include "output/Accounting.h"
#include "planner/Planner.h"

#include <benchmark/benchmark.h>

namespace {

// A plan of 32767 monthly rows, each a payment split between the loan and the interest.
const std::pair<planner::PlanInput, planner::Plan>& longLoan() {
    static const auto loan = [] {
        planner::PlanInput input;
        input.principal = 100'000'000;
        input.months = planner::maxMonths;
        input.annualPercent = 0.05;
        input.startDate = QDate(2026, 1, 31);
        return std::pair(input, *planner::computePlan(input).plan);
    }();
    return loan;
}

void BM_AccountingExport32767Rows(benchmark::State& state) {
    const auto format = static_cast<accounting::Format>(state.range(0));
    const auto& [input, plan] = longLoan();
    accounting::Options options;
    options.currency = QStringLiteral("EUR");
    options.withAdvance = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(accounting::exportPlan(format, input, plan, options).size());
    }
    state.SetLabel(accounting::name(format).toStdString());
}

}  // namespace

BENCHMARK(BM_AccountingExport32767Rows)
    ->Arg(static_cast<int>(accounting::Format::Ledger))
    ->Arg(static_cast<int>(accounting::Format::Beancount))
    ->Arg(static_cast<int>(accounting::Format::Qif))
    ->Unit(benchmark::kMillisecond);
