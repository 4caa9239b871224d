#pragma once

#include "planner/Planner.h"
#include "planner/TrueCost.h"

#include <QString>
#include <QStringView>

#include <optional>

// Finds the principal, the number of months or the annual rate that gives an instalment E.
//
// The instalment is computed by one of two arithmetics: the main schedule's (the unrounded EMI
// of the loan model, shown rounded to the cent with ties to even) or the planner's annuity with
// one of its four instalment roundings. Every search is an exact bisection over the monotone
// instalment function: on whole cents for the principal, on whole months for the term, and on
// the ordered set of doubles for the rate. Each answer is checked by recomputing its instalment.
// Under the planner's arithmetics a principal or a term is an answer only when its schedule,
// with interest rounded by the given rule, repays the loan with no payment above E: rounding the
// instalment down leaves a larger last payment.
namespace solver {

using planner::Cents;

// No value: the main schedule's arithmetic; else the planner's annuity with this rounding.
using InstalmentRule = std::optional<planner::InstalmentRounding>;

// "schedule", or the planner's names (nearest-cent, nearest-unit, up-cent, up-unit).
QString ruleName(InstalmentRule rule);
std::optional<InstalmentRule> ruleFromName(QStringView text);

using planner::maxAnnualPercent;
using planner::maxMonths;
using planner::maxPrincipal;

// The instalment in whole cents, or nothing where the arithmetic overflows.
std::optional<Cents> instalmentCents(Cents principal, int months, double annualPercent,
                                     InstalmentRule rule);

struct Loan {
    Cents principal = 0;
    int months = 0;
    double annualPercent = 0;
};

struct Solution {
    std::optional<Loan> loan;  // the loan with the solved value filled in
    QString error;             // why there is no answer
    // Solving for the rate: every rate in [rateLow, rateHigh] gives exactly the instalment;
    // loan->annualPercent is the one with the fewest decimals.
    double rateLow = 0;
    double rateHigh = 0;
    Cents instalment = 0;  // recomputed from the answer
};

// The largest principal in whole cents whose instalment, and every payment, does not exceed emi.
Solution solvePrincipal(Cents emi, int months, double annualPercent, InstalmentRule rule,
                        planner::InterestRounding interest = planner::InterestRounding::HalfUp);
// The smallest number of months (1..32767) whose instalment, and every payment, does not exceed
// emi. None when emi does not exceed the first month's interest by at least a cent.
Solution solveMonths(Cents emi, Cents principal, double annualPercent, InstalmentRule rule,
                     planner::InterestRounding interest = planner::InterestRounding::HalfUp);
// Every rate (0..1000 %) whose instalment is exactly emi.
Solution solveRate(Cents emi, Cents principal, int months, InstalmentRule rule);

// What a solved loan costs when its instalment is rounded by rule and its interest by interest,
// with fees paid up front (for the annual percentage rate); nothing when its rows cannot be made.
std::optional<planner::TrueCost> costOfSolved(const Loan& loan, InstalmentRule rule,
                                              planner::InterestRounding interest,
                                              const planner::Fees& fees);

}  // namespace solver
