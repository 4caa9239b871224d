#pragma once

#include "core/Frequency.h"
#include "planner/Arithmetic.h"

#include <QDate>
#include <QString>

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

// Prepayments and rate changes on a loan, month by month in whole cents. The contract:
//
// r_k is the annual rate in force for month k (the last rate change whose month is at most k,
// else the loan's rate) / 100 / 12. E starts as the rounded instalment of P over n months at
// r_1, and the planned last month L as n. Each month k, with balance B: interest
// I = round(B * r_k) by the interest rule. If E - I >= B or k == L, the month pays B + I and
// ends the loan; otherwise it pays E, of which E - I is principal (a failure when E - I <= 0).
// Then the extra payments of month k (one-offs plus active recurring ones, at most B) reduce B;
// B = 0 ends the loan. After a month with an extra payment, or before a rate change, the policy
// applies: lower instalment re-rounds E over the remaining L - k months at r_{k+1}; shorter
// term keeps E and sets L = k + ceil(-ln(1 - r B / E) / ln(1 + r) - 1e-9) (B / E at r = 0),
// failing when r * B >= E. A loan not repaid by month 32767 fails.
namespace planner {

struct OneOffExtra {
    int month = 1;
    Cents amount = 0;
};

struct RecurringExtra {
    Cents amount = 0;
    int fromMonth = 1;
    int toMonth = 0;  // 0: to the end of the loan
};

struct RateChange {
    int fromMonth = 1;
    double annualPercent = 0;
};

// A period that pays nothing; its interest is added to the balance.
struct PaymentHoliday {
    int period = 1;
};

using Event = std::variant<OneOffExtra, RecurringExtra, RateChange, PaymentHoliday>;

using calendar::Frequency;

// How a period's interest is reckoned: a fraction of the annual rate per payment, or days by a
// day count.
enum class InterestBasis { Periodic, Thirty360, Actual365, Actual360, ActualActual };
// How often the nominal rate compounds; PerPeriod: as often as payments fall.
enum class Compounding { PerPeriod, Monthly, Quarterly, SemiAnnual, Annual };
enum class Shape { Annuity, EqualPrincipal };

// Stable names, used on the command line, in JSON and in the settings store:
// periodic, 30/360, actual/365, actual/360, actual/actual; per-period, monthly, quarterly,
// semi-annual, annual; annuity, equal-principal.
std::string_view name(InterestBasis basis);
std::string_view name(Compounding compounding);
std::string_view name(Shape shape);
std::optional<InterestBasis> basisFromName(std::string_view text);
std::optional<Compounding> compoundingFromName(std::string_view text);
std::optional<Shape> shapeFromName(std::string_view text);

inline constexpr InterestBasis allInterestBases[] = {
    InterestBasis::Periodic, InterestBasis::Thirty360, InterestBasis::Actual365,
    InterestBasis::Actual360, InterestBasis::ActualActual};

enum class Policy { ShorterTerm, LowerInstalment };

inline constexpr Cents maxPrincipal = 100'000'000'000'000;
inline constexpr int maxMonths = 32767;
inline constexpr double maxAnnualPercent = 1000;

struct PlanInput {
    Cents principal = 0;        // 1 .. 100,000,000,000,000 cents
    int months = 0;             // 1 .. 32767
    double annualPercent = 0;   // 0 .. 1000
    QDate startDate;            // row k is due startDate + k calendar months
    std::vector<Event> events;
    Policy policy = Policy::ShorterTerm;
    InstalmentRounding instalmentRounding = InstalmentRounding::NearestCent;
    InterestRounding interestRounding = InterestRounding::HalfUp;

    // The loan's terms beyond a plain monthly annuity; the defaults are one.
    Frequency frequency = Frequency::Monthly;
    QDate firstDue;  // invalid: one regular period after the start
    InterestBasis basis = InterestBasis::Periodic;
    Compounding compounding = Compounding::PerPeriod;
    Shape shape = Shape::Annuity;
    int interestOnly = 0;  // the first K periods pay the interest only
    int grace = 0;         // the first K periods pay nothing; the interest is added to the balance
    Cents balloon = 0;     // left for the last payment; the instalment repays the rest
};

struct PlanRow {
    int number = 0;
    QDate dueDate;
    Cents opening = 0;
    Cents payment = 0;
    Cents principal = 0;
    Cents interest = 0;
    Cents extra = 0;
    Cents closing = 0;
};

struct PlanTotals {
    Cents payments = 0;
    Cents principal = 0;
    Cents interest = 0;
    Cents extra = 0;
    int months = 0;
    QDate endDate;
};

struct Plan {
    std::vector<PlanRow> rows;
    PlanTotals totals;
    std::vector<Cents> instalments;  // the instalment in force, each time it changed
};

struct Comparison {
    Cents interestSaved = 0;
    int monthsSaved = 0;
    QDate baselineEndDate;  // the loan without events
    QDate endDate;
    Cents baselineInterest = 0;
    int baselineMonths = 0;
    QString baselineError;  // the loan without events failed: nothing above is meaningful
};

// A failure of the plan: a message for the user ("The instalment does not cover the interest
// of month 7.").
struct PlanResult {
    std::optional<Plan> plan;
    QString error;
};

// Which entry of the input a problem belongs to: the loan itself (event -1) or one event.
enum class Field { Principal, Months, Rate, StartDate, Month, EndMonth, Amount };
struct InputProblem {
    int event = -1;  // index into PlanInput::events, or -1 for the loan's own fields
    Field field = Field::Principal;
    QString message;
};

// Every problem of the input, loan fields first, then the events in order.
std::vector<InputProblem> inputProblems(const PlanInput& input);

// Checks the input's ranges and the events (a month past the term, an amount of zero or less, a
// rate outside 0..1000) and returns the first problem found, or an empty text.
QString validate(const PlanInput& input);

PlanResult computePlan(const PlanInput& input);

// The loan without events, under the same roundings.
PlanResult computeBaseline(const PlanInput& input);

// The same loan without events, under the same roundings, against the plan.
Comparison compare(const PlanInput& input, const Plan& plan);

}  // namespace planner
