#pragma once

#include "apr/Apr.h"
#include "planner/Planner.h"

#include <QLocale>
#include <QString>

#include <optional>
#include <span>

// What a loan really costs, from its rows.
//
// Total interest and total paid (the rows' payments and extras plus every fee); the effective
// annual rate without fees ((1 + r)^m - 1, r the rate per payment, m payments a year; for a
// plan with events, r is the rate per unit period that discounts its actual payments to the
// principal, so rate changes count); and the annual percentage rate by the US rule and the
// EU/UK rule (see apr/Apr.h) of the loan's cash flows: the principal less the up-front fee
// advanced on the start date, each row's payment, extra and per-payment fee paid on its due
// date.
namespace planner {

struct Fees {
    Cents upFront = 0;     // paid out of the advance
    Cents perPayment = 0;  // added to every payment
    bool operator==(const Fees&) const = default;
};

struct TrueCost {
    Cents totalInterest = 0;
    Cents totalPaid = 0;
    double effectiveAnnualPercent = 0;
    std::optional<double> aprUsPercent;  // none when no rate fits
    std::optional<double> aprcEuPercent;
    // The principal the rows leave unpaid; negative where they repay more than it. Only a
    // schedule whose last balance is set to 0 by its rule leaves any.
    Cents principalLeft = 0;
};

// (1 + r)^m - 1 with r the loan's rate per payment and m its payments a year.
double effectiveAnnualPercent(const PlanInput& loan);

apr::Flows cashFlows(const PlanInput& loan, std::span<const PlanRow> rows, const Fees& fees = {});

TrueCost trueCost(const PlanInput& loan, std::span<const PlanRow> rows, const Fees& fees = {});
TrueCost trueCostOf(const PlanInput& loan, const Plan& plan, const Fees& fees = {});

// The legal rates as every output shows them: APR (US) to two decimals, APRC (EU/UK) to one,
// "none fits" where no rate fits the cash flows.
QString aprUsText(const std::optional<double>& percent, const QLocale& locale = QLocale());
QString aprcEuText(const std::optional<double>& percent, const QLocale& locale = QLocale());

// The line that says a schedule's rows leave principal unpaid, or repay more than it, with the
// amount as the caller writes money; empty when they repay it exactly.
QString roundingNote(Cents principalLeft, const QString& amountText);

}  // namespace planner
