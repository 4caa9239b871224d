#include "solver/LoanRows.h"
#include "solver/Money.h"
#include "solver/Reconcile.h"
#include "solver/Solver.h"
#include "solver/Statement.h"
#include "solver/StatementFile.h"

#include <QDate>
#include <QFile>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr planner::Cents principal = 25'000'000;
constexpr int longest = 32767;
constexpr double rate = 0.5;

solver::InstalmentRule ruleOf(benchmark::State& state) {
    const auto index = state.range(0);
    return index == 0 ? solver::InstalmentRule{}
                      : solver::InstalmentRule{planner::allInstalmentRoundings[index - 1]};
}

void setLabel(benchmark::State& state) {
    state.SetLabel(solver::ruleName(ruleOf(state)).toStdString());
}

void solvePrincipal32767Months(benchmark::State& state) {
    const auto rule = ruleOf(state);
    const auto emi = *solver::instalmentCents(principal, longest, rate, rule);
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::solvePrincipal(emi, longest, rate, rule));
    }
    setLabel(state);
}

void solveMonths32767Months(benchmark::State& state) {
    const auto rule = ruleOf(state);
    const auto emi = *solver::instalmentCents(principal, longest, rate, rule);
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::solveMonths(emi, principal, rate, rule));
    }
    setLabel(state);
}

void solveRate32767Months(benchmark::State& state) {
    const auto rule = ruleOf(state);
    const auto emi = *solver::instalmentCents(principal, longest, rate, rule);
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::solveRate(emi, principal, longest, rule));
    }
    setLabel(state);
}

planner::PlanInput mortgage() {
    planner::PlanInput loan;
    loan.principal = 30'000'000;
    loan.months = 360;
    loan.annualPercent = 5;
    loan.startDate = QDate(2026, 1, 31);
    return loan;
}

// A 360-row statement as a lender's CSV, under the planner's default roundings.
QString statementText() {
    const auto rows = solver::loanRows(mortgage(), solver::allArithmetics()[1]).rows;
    QString text = u"No,Date,Payment,Principal,Interest,Balance\n"_s;
    for (const auto& row : rows) {
        text += u"%1,%2,%3,%4,%5,%6\n"_s.arg(row.number)
                    .arg(row.dueDate.toString(Qt::ISODate), solver::moneyText(row.payment),
                         solver::moneyText(row.principal), solver::moneyText(row.interest),
                         solver::moneyText(row.closing));
    }
    return text;
}

void reconcile360Rows(benchmark::State& state) {
    const auto parsed = solver::parseStatement(statementText());
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::reconcile(mortgage(), parsed.statement));
    }
}

void readAndReconcile360Rows(benchmark::State& state) {
    const QString text = statementText();
    for (auto _ : state) {
        const auto parsed = solver::parseStatement(text);
        benchmark::DoNotOptimize(solver::reconcile(mortgage(), parsed.statement));
    }
}

// A fortnightly actual/365 loan of 360 payments, its terms read from the statement's dates and
// every arithmetic tried.
void reconciling360RowsAgainstAllArithmetics(benchmark::State& state) {
    planner::PlanInput loan = mortgage();
    loan.frequency = planner::Frequency::Fortnightly;
    loan.basis = planner::InterestBasis::Actual365;
    const auto made =
        solver::loanRows(loan, solver::Arithmetic{false, planner::InstalmentRounding::NearestCent,
                                                  planner::InterestRounding::HalfEven,
                                                  planner::InterestBasis::Actual365});
    solver::Statement statement;
    for (const auto& row : made.rows) {
        solver::StatementRow line;
        line.line = row.number;
        line.date = row.dueDate;
        line.amounts[solver::amountIndex(solver::Role::Payment)] = row.payment;
        line.amounts[solver::amountIndex(solver::Role::Interest)] = row.interest;
        line.amounts[solver::amountIndex(solver::Role::Closing)] = row.closing;
        statement.rows.push_back(line);
    }
    loan.frequency = planner::Frequency::Monthly;  // to be read from the dates
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::reconcile(loan, statement));
    }
    state.SetLabel(std::to_string(statement.rows.size()) + " rows");
}

// Just under the reader's bound: the 360-row statement's rows again and again, numbered on.
QString statementOfSize(qint64 bytes) {
    const QStringList rows = statementText().split(u'\n', Qt::SkipEmptyParts).mid(1);
    QString text = u"No,Date,Payment,Principal,Interest,Balance\n"_s;
    text.reserve(bytes);
    for (int number = 1;; ++number) {
        const QString& row = rows[(number - 1) % rows.size()];
        const QString line = QString::number(number) + row.mid(row.indexOf(u',')) + u'\n';
        if (text.size() + line.size() > bytes) {
            return text;
        }
        text += line;
    }
}

// The process's peak resident memory from construction on: the kernel's high-water mark is
// reset first, so the benchmarks that ran before do not count.
class PeakMemory {
public:
    PeakMemory() {
        QFile clear(u"/proc/self/clear_refs"_s);
        if (clear.open(QIODevice::WriteOnly)) {
            clear.write("5");
        }
    }
    void report(benchmark::State& state) const {
        QFile status(u"/proc/self/status"_s);
        if (!status.open(QIODevice::ReadOnly)) {
            return;
        }
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                const double kib = line.mid(6).trimmed().split(' ').value(0).toDouble();
                state.counters["peak_MB"] = kib / 1024.0;
            }
        }
    }
};

// 16 MiB of rows read: under 2 s, and the process's peak under 300 MB.
void readStatement16MiB(benchmark::State& state) {
    const PeakMemory peak;
    const QString text = statementOfSize(solver::maxStatementBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::parseStatement(text));
    }
    peak.report(state);
}

// 16 MiB of "1\n" lines: refused by its line count, without splitting.
void readStatement16MiBOfOnes(benchmark::State& state) {
    const PeakMemory peak;
    const QString text = u"1\n"_s.repeated(solver::maxStatementBytes / 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::parseStatement(text));
    }
    peak.report(state);
}

}  // namespace

BENCHMARK(readStatement16MiB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(readStatement16MiBOfOnes)->Unit(benchmark::kMillisecond);
BENCHMARK(solvePrincipal32767Months)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(solveMonths32767Months)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(solveRate32767Months)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(reconcile360Rows)->Unit(benchmark::kMicrosecond);
BENCHMARK(readAndReconcile360Rows)->Unit(benchmark::kMicrosecond);
BENCHMARK(reconciling360RowsAgainstAllArithmetics)->Unit(benchmark::kMillisecond);
