#pragma once

#include "planner/Planner.h"
#include "planner/TrueCost.h"

#include <QDate>
#include <QString>

#include <optional>
#include <span>
#include <vector>

// What people ask of a plan next: which of several offers costs least, whether refinancing
// pays, and what repaying on a given date costs. Amounts in whole cents; fees are paid up front.
namespace offers {

using planner::Cents;

struct Offer {
    planner::PlanInput loan;
    planner::Fees fees;
};

struct OfferResult {
    QString error;  // the plan failed; nothing below is meaningful
    planner::Plan plan;
    Cents instalment = 0;  // the first instalment
    int payments = 0;
    QDate endDate;
    Cents totalInterest = 0;
    Cents totalPaid = 0;  // payments, extra payments and fees
    Cents fees = 0;       // the up-front fee and the fees paid with the payments
    std::optional<double> aprUsPercent;
    std::optional<double> aprcEuPercent;
};

struct OfferComparison {
    std::vector<OfferResult> offers;  // in the given order
    int cheapest = -1;  // the lowest total paid, the first of equals; -1 when none has a plan
};

OfferComparison compareOffers(std::span<const Offer> offers);

// Repaying on a date: the balance after the last payment due on or before it, plus the interest
// accrued on that balance from that payment's due date (the start date if none) to the date.
// Periodic basis: the running period's interest times the elapsed days over the period's days;
// day-count bases: balance x rate x the day count's year fraction (30/360 US, actual/365,
// actual/360, actual/actual ISDA). Rounded once, exactly, by the loan's interest rule.
struct Payoff {
    Cents payoff = 0;
    Cents balance = 0;
    Cents accruedInterest = 0;
    int lastPayment = 0;    // the row number; 0 when none is due yet
    QDate lastPaymentDate;  // its due date, else the start date
};

struct PayoffResult {
    std::optional<Payoff> payoff;
    QString error;
};

PayoffResult payoffOn(const planner::PlanInput& loan, const planner::Plan& plan, const QDate& on);

// A new loan repaying the current one on a date: its principal is the payoff then, it starts on
// that date with the new rate and term, the current loan's roundings and no events.
struct NewLoan {
    double annualPercent = 0;
    int months = 0;
    Cents fees = 0;
};

struct Refinancing {
    QString error;
    Payoff payoff;
    planner::PlanInput loan;  // the new loan
    planner::Plan plan;
    Cents oldInstalment = 0;  // the first payment due after the date
    Cents newInstalment = 0;
    Cents monthlySaving = 0;  // old instalment - new instalment
    Cents oldRemaining = 0;   // what the current loan still pays after the date
    Cents newTotal = 0;       // the new loan's payments and its fees
    Cents saving = 0;         // oldRemaining - newTotal; negative: a loss
    // The first month m such that from the m-th payment after the date on, the new loan's
    // payments and fees paid so far stay below the current loan's; none when that never happens.
    std::optional<int> breakEvenMonth;
};

Refinancing refinance(const planner::PlanInput& current, const planner::Plan& plan, const QDate& on,
                      const NewLoan& terms);

}  // namespace offers
