#pragma once

#include "planner/Planner.h"

#include <optional>
#include <span>

// What a loan really costs, from its stream of payments.
//
// Total interest and total paid (the payments plus any up-front fees); the effective annual rate
// ((1 + r)^12 - 1 with r the monthly rate; for a plan with events, r is the monthly rate that
// discounts its actual payments to the principal, so rate changes count); and, when fees are paid
// up front, the annual percentage rate: the annual rate (12 times a monthly rate i) at which the
// payments, discounted monthly (payment k by (1 + i)^k), are worth the principal minus the fees;
// found by bisection to 1e-9 percent.
namespace planner {

struct TrueCost {
    Cents totalInterest = 0;
    Cents totalPaid = 0;
    double effectiveAnnualPercent = 0;
    std::optional<double> aprPercent;  // only with fees; none when no rate fits
};

double effectiveAnnualPercent(double annualPercent);
// The effective annual rate at which monthly payments are worth the principal; none when no
// rate fits.
std::optional<double> paymentsEffectivePercent(Cents principal, std::span<const Cents> payments);

// None when the principal minus the fees is not positive or no rate in (-1200, 10^6) % fits.
std::optional<double> annualPercentageRate(Cents principal, Cents fees,
                                           std::span<const Cents> payments);

TrueCost trueCost(Cents principal, double annualPercent, std::span<const Cents> payments,
                  Cents totalInterest, std::optional<Cents> fees = std::nullopt);

// The cost of a plan: each month pays its principal, interest and extra.
TrueCost trueCostOf(const PlanInput& loan, const Plan& plan,
                    std::optional<Cents> fees = std::nullopt);
TrueCost trueCostOf(const PlanInput& loan, std::span<const PlanRow> rows,
                    std::optional<Cents> fees = std::nullopt);

}  // namespace planner
