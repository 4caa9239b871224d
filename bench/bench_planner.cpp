#include "windows/PlannerDialog.h"
#include "windows/PlannerModels.h"
#include "planner/Planner.h"
#include "shell/SettingsStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// 32767 months and 100 events: one-offs, monthly extras over stretches of the loan and rate
// changes, under the lower-instalment policy so that the loan keeps its last month.
planner::PlanInput longPlan() {
    planner::PlanInput input;
    input.principal = 100'000'000;
    input.months = planner::maxMonths;
    input.annualPercent = 0.05;
    input.startDate = QDate(2026, 1, 31);
    input.policy = planner::Policy::LowerInstalment;
    for (int i = 0; i < 100; ++i) {
        const int month = 1 + i * 320;
        switch (i % 3) {
            case 0:
                input.events.emplace_back(planner::OneOffExtra{month, 5000});
                break;
            case 1:
                input.events.emplace_back(planner::RecurringExtra{100, month, month + 200});
                break;
            default:
                input.events.emplace_back(planner::RateChange{month, 0.02 + (i % 7) * 0.01});
                break;
        }
    }
    return input;
}

// Plans the loan on every iteration; an error when it does not run to its last month.
void planEveryTime(benchmark::State& state, const planner::PlanInput& input) {
    for (auto _ : state) {
        const planner::PlanResult result = planner::computePlan(input);
        if (!result.plan || result.plan->rows.size() != planner::maxMonths) {
            state.SkipWithError(result.plan ? "the plan ends early" : qPrintable(result.error));
            break;
        }
        benchmark::DoNotOptimize(result.plan->totals.interest);
    }
}

void BM_Plan32767Months100Events(benchmark::State& state) {
    planEveryTime(state, longPlan());
}

// ravenmoor-cli from start to exit, its output going to /dev/null.
void BM_CliScheduleCopy32767Months(benchmark::State& state) {
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/ravenmoor-cli");
    const QStringList args{
        QStringLiteral("schedule"), QStringLiteral("-p"),    QStringLiteral("1000000"),
        QStringLiteral("-n"),       QStringLiteral("32767"), QStringLiteral("-r"),
        QStringLiteral("0.1"),      QStringLiteral("-s"),    QStringLiteral("2026-01-31"),
        QStringLiteral("--format"), QStringLiteral("copy")};
    for (auto _ : state) {
        QProcess cli;
        cli.setStandardOutputFile(QProcess::nullDevice());
        cli.start(program, args);
        if (!cli.waitForFinished(10000) || cli.exitCode() != 0) {
            state.SkipWithError("ravenmoor-cli failed");
            break;
        }
    }
}

}  // namespace

BENCHMARK(BM_Plan32767Months100Events)->Unit(benchmark::kMillisecond);

namespace {

// The largest plan under each interest basis: 32767 periods and 100 events (one-offs, monthly
// extras over stretches, rate changes and payment holidays), lower instalment.
void planLargest(benchmark::State& state, planner::InterestBasis basis) {
    planner::PlanInput input = longPlan();
    input.basis = basis;
    for (int i = 0; i < 100; i += 10) {
        input.events[static_cast<std::size_t>(i)] = planner::PaymentHoliday{2 + i * 320};
    }
    planEveryTime(state, input);
}

}  // namespace

BENCHMARK_CAPTURE(planLargest, periodic, planner::InterestBasis::Periodic)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(planLargest, 30/360, planner::InterestBasis::Thirty360)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(planLargest, actual/365, planner::InterestBasis::Actual365)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(planLargest, actual/360, planner::InterestBasis::Actual360)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(planLargest, actual/actual, planner::InterestBasis::ActualActual)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliScheduleCopy32767Months)->Unit(benchmark::kMillisecond)->UseRealTime();

namespace {

// The planner window's live results: one edit of the principal recomputes the plan, the loan
// without events, the results and the grid, for 32767 months.
void BM_PlannerWindowRecompute32767Months(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("Kestrelor.ini")));
    PlannerDialog dialog({100'000'000, planner::maxMonths, 0.05, QDate(2026, 1, 31)}, store);
    dialog.events().addEntry(
        {PlanEventKind::Recurring, QStringLiteral("1"), QStringLiteral("1"), {}});
    dialog.policyBox()->setCurrentIndex(1);
    bool odd = false;
    for (auto _ : state) {
        dialog.principalEdit()->setText(odd ? QStringLiteral("1000000")
                                            : QStringLiteral("1000001"));
        odd = !odd;
        if (!dialog.plan() || dialog.plan()->rows.size() != planner::maxMonths) {
            state.SkipWithError(qPrintable(dialog.message()));
            break;
        }
    }
}

}  // namespace

BENCHMARK(BM_PlannerWindowRecompute32767Months)->Unit(benchmark::kMillisecond);
