#include "planner/TrueCost.h"

#include <cmath>
#include <numeric>
#include <vector>

namespace planner {

namespace {

// The payments discounted monthly at an annual percentage, in cents.
double presentValue(std::span<const Cents> payments, double annualPercent) {
    const double discount = 1.0 / (1.0 + annualPercent / 1200.0);
    double factor = 1.0;
    double sum = 0;
    for (const Cents payment : payments) {
        factor *= discount;
        sum += static_cast<double>(payment) * factor;
    }
    return sum;
}

}  // namespace

double effectiveAnnualPercent(double annualPercent) {
    return (std::pow(1.0 + monthlyRate(annualPercent), 12.0) - 1.0) * 100.0;
}

std::optional<double> annualPercentageRate(Cents principal, Cents fees,
                                           std::span<const Cents> payments) {
    const double target = static_cast<double>(principal - fees);
    if (target <= 0 || payments.empty()) {
        return std::nullopt;
    }
    // The present value falls as the rate rises.
    double low = -1199.999999;
    double high = 1e6;
    if (presentValue(payments, low) < target || presentValue(payments, high) > target) {
        return std::nullopt;
    }
    while (high - low > 1e-9) {
        const double middle = low + (high - low) / 2;
        if (middle == low || middle == high) {
            break;
        }
        (presentValue(payments, middle) > target ? low : high) = middle;
    }
    return low + (high - low) / 2;
}

TrueCost trueCost(Cents principal, double annualPercent, std::span<const Cents> payments,
                  Cents totalInterest, std::optional<Cents> fees) {
    TrueCost cost;
    cost.totalInterest = totalInterest;
    cost.totalPaid = std::accumulate(payments.begin(), payments.end(), fees.value_or(0));
    cost.effectiveAnnualPercent = effectiveAnnualPercent(annualPercent);
    if (fees) {
        cost.aprPercent = annualPercentageRate(principal, *fees, payments);
    }
    return cost;
}

std::optional<double> paymentsEffectivePercent(Cents principal, std::span<const Cents> payments) {
    const auto nominal = annualPercentageRate(principal, 0, payments);
    if (!nominal) {
        return std::nullopt;
    }
    return effectiveAnnualPercent(*nominal);
}

TrueCost trueCostOf(const PlanInput& loan, const Plan& plan, std::optional<Cents> fees) {
    return trueCostOf(loan, std::span<const PlanRow>(plan.rows), fees);
}

TrueCost trueCostOf(const PlanInput& loan, std::span<const PlanRow> rows,
                    std::optional<Cents> fees) {
    std::vector<Cents> payments;
    payments.reserve(rows.size());
    Cents interest = 0;
    for (const PlanRow& row : rows) {
        payments.push_back(row.principal + row.interest + row.extra);
        interest += row.interest;
    }
    TrueCost cost = trueCost(loan.principal, loan.annualPercent, payments, interest, fees);
    if (!loan.events.empty()) {
        cost.effectiveAnnualPercent = paymentsEffectivePercent(loan.principal, payments)
                                          .value_or(cost.effectiveAnnualPercent);
    }
    return cost;
}

}  // namespace planner
