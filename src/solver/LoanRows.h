#pragma once

#include "planner/Planner.h"
#include "planner/TrueCost.h"

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

// The rows of one loan under each arithmetic a lender may use: the main schedule's (the
// unrounded EMI, every amount shown rounded to the cent with ties to even; a plain monthly
// annuity without events), or the planner's with one interest basis, one instalment rounding and
// one interest rounding.
namespace solver {

using planner::Cents;

struct Arithmetic {
    bool schedule = false;
    planner::InstalmentRounding instalment = planner::InstalmentRounding::NearestCent;
    planner::InterestRounding interest = planner::InterestRounding::HalfUp;
    planner::InterestBasis basis = planner::InterestBasis::Periodic;
    bool operator==(const Arithmetic&) const = default;
};

// The main schedule's arithmetic first, then every interest basis with every instalment rounding
// and every interest rounding, the planner's defaults first.
std::vector<Arithmetic> allArithmetics();

// "actual/365, instalment to the nearest cent, interest half to even".
QString describe(const Arithmetic& arithmetic);
// "schedule" or "actual/365 nearest-cent/half-even".
QString shortName(const Arithmetic& arithmetic);

// Whether the main schedule can compute the loan: monthly from the start, a plain annuity, no
// events.
bool scheduleApplies(const planner::PlanInput& loan);

// A row in the planner's terms, whichever arithmetic made it.
using LoanRow = planner::PlanRow;

struct LoanRows {
    std::vector<LoanRow> rows;
    QString error;  // why the loan has no rows under this arithmetic
};

// The loan's rows under an arithmetic; the loan's own basis and roundings are replaced by its.
using RowSource = std::function<LoanRows(const planner::PlanInput&, const Arithmetic&)>;

// The main schedule through the loan model; the planner's arithmetics through computePlan.
LoanRows loanRows(const planner::PlanInput& loan, const Arithmetic& arithmetic);

// The cost of a loan's rows: each month pays its payment and extra.
planner::TrueCost trueCostOf(const planner::PlanInput& loan, const LoanRows& rows,
                             const planner::Fees& fees = {});

// The model's schedule as whole cents.
LoanRows scheduleRows(const planner::PlanInput& loan);

}  // namespace solver
