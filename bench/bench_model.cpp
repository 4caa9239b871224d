// The schedule of the largest loan: the model's CalculateEMI against a bare loop that computes
// the same rows without any checks, and the grid texts of that schedule.
#include "bench/WindowFixture.h"
#include "core/AutomationDate.h"
#include "core/Conversions.h"
#include "model/clsLoanCalculator.h"
#include "model/clsLoanDetails.h"
#include "model/clsSchedule.h"
#include "output/ScheduleTable.h"

#include <QDate>
#include <QLocale>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace {

constexpr int largest = 32767;

void calculate(clsLoanCalculator& calculator, int months) {
    const auto details = calculator.getLoanDetails();
    details->setPrincipleAmount(100000);
    details->setTenure(static_cast<std::int16_t>(months));
    details->setInterestRate(11);
    details->setStartDate(AutomationDate::fromDate(QDate(2021, 8, 31)));
    calculator.CalculateEMI();
}

// The model's calculation, the previous schedule alive until the new one is made, as in the
// window.
void scheduleLargest(benchmark::State& state) {
    auto previous = std::make_unique<clsLoanCalculator>();
    calculate(*previous, largest);
    PageFaults faults;
    for (auto _ : state) {
        auto calculator = std::make_unique<clsLoanCalculator>();
        calculate(*calculator, largest);
        benchmark::DoNotOptimize(calculator->getScheduleData()->Count());
        previous = std::move(calculator);
    }
    faults.report(state);
}
BENCHMARK(scheduleLargest)->Unit(benchmark::kMicrosecond);

// The same rows by the shortest loop: no checks, the due date stepped a month at a time, totals
// summed on the way.
struct BareRow {
    double date, opening, principal, interest, closing;
};

void scheduleReference(benchmark::State& state) {
    using namespace std::chrono;
    const double principal = 100000;
    const double rate = 11.0 / 100.0 / 12.0;
    const double emi =
        rate * principal * (std::pow(rate + 1.0, largest) / (std::pow(rate + 1.0, largest) - 1.0));
    const year_month_day start{year{2021}, August, day{31}};
    const sys_days epoch{year{1899} / December / 30};
    std::vector<BareRow> previous(largest + 1);
    PageFaults faults;
    for (auto _ : state) {
        std::vector<BareRow> rows;
        rows.reserve(largest + 1);
        double balance = principal;
        double sumPrincipal = 0;
        double sumInterest = 0;
        year_month target{start.year(), start.month()};
        for (int n = 1; n <= largest; ++n) {
            target += months{1};
            const day last = (target / std::chrono::last).day();
            const sys_days due{target / std::min(start.day(), last)};
            const double interest = rate * balance;
            const double part = roundToCents(emi - interest);
            const double opening = balance;
            balance = n == largest ? 0 : balance - part;
            sumPrincipal += part;
            sumInterest += roundToCents(interest);
            rows.push_back({static_cast<double>((due - epoch).count()), opening, emi - interest,
                            interest, balance});
        }
        rows.push_back({0, 0, sumPrincipal, sumInterest, sumPrincipal + sumInterest});
        benchmark::DoNotOptimize(rows.data());
        previous.swap(rows);
    }
    faults.report(state);
}
BENCHMARK(scheduleReference)->Unit(benchmark::kMicrosecond);

// Every grid text of the largest schedule, into one reused buffer: what the display and the
// outputs pay per text.
void scheduleTextsLargest(benchmark::State& state) {
    clsLoanCalculator calculator;
    calculate(calculator, largest);
    const ScheduleTable table(calculator.getScheduleData(),
                              QLocale(QLocale::English, QLocale::UnitedStates));
    TextBuffer text;
    PageFaults faults;
    for (auto _ : state) {
        for (int r = 0; r < table.rowCount(); ++r) {
            text.clear();
            for (int c = 0; c < scheduleColumnCount; ++c) {
                table.appendText(text, r, c);
            }
            benchmark::DoNotOptimize(text.constData());
        }
    }
    faults.report(state);
}
BENCHMARK(scheduleTextsLargest)->Unit(benchmark::kMicrosecond);

}  // namespace
