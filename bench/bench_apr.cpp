#include "apr/Apr.h"

#include <benchmark/benchmark.h>

namespace {

// 1,000 dated payments: a monthly loan with an odd first period and an odd last payment.
apr::Flows thousandPayments() {
    apr::Flows flows;
    flows.advances.push_back({QDate(2026, 1, 10), 50'000'000});
    flows.payments = apr::series(63'000, 999, QDate(2026, 3, 1), calendar::Frequency::Monthly);
    flows.payments.push_back({QDate(2109, 3, 1), 12'345});
    return flows;
}

void aprThousandPayments(benchmark::State& state) {
    const auto method = state.range(0) == 0 ? apr::Method::Us : apr::Method::Eu;
    const apr::Flows flows = thousandPayments();
    for (auto _ : state) {
        benchmark::DoNotOptimize(apr::annualPercentageRate(method, flows));
    }
    state.SetLabel(std::string(apr::name(method)));
}

}  // namespace

BENCHMARK(aprThousandPayments)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
