#pragma once

#include "core/Frequency.h"
#include "planner/Arithmetic.h"

#include <QDate>
#include <QString>

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

// Prepayments, rate changes and the loan's terms, period by period in whole cents. The contract:
//
// Due dates follow calendar::DueDates; period k runs from the previous due date (the start date
// for k = 1) to due date k. n (PlanInput::months) is the number of payments, and event months
// are period numbers. R_k is the annual rate in force for period k (the last rate change whose
// period is at most k, else the loan's rate), m the payments a year, r_k the rate per period
// (periodicRate: R_k / 100 / m, or the compounded rate when the rate compounds otherwise).
//
// Interest of period k on balance B, exact, rounded once by the interest rule: periodic
// B r_k f, with f = 1 except in an odd first period (a first due date other than the regular
// one): w whole steps back from the first due date stay on or after the start, d days remain,
// f = w + d / u (u = 30 per month of a step, 15 semi-monthly, 7 per week of a step); 30/360,
// actual/365, actual/360: B R_k / 100 x days / 360 or 365 (30/360 counts a 31st as the 30th, at
// the end only after a 30th); actual/actual: the days of each calendar year over its length.
//
// Grace periods (k <= grace) and payment holidays pay nothing and add the interest to the
// balance (principal -I); interest-only periods (k <= interestOnly) pay I. Grace wins where
// the two overlap; K is the larger. After period K the instalment E (instalment() over the
// n - K payments left, at r_{K+1}, with the balloon) or the equal principal part Q
// (equalPrincipal()) is set, and the planned last period L is n. Each later period pays B + I
// if k == L or E - I >= B (Q >= B); otherwise principal E - I (Q), a failure when E - I <= 0.
// In an odd first period E - I uses the interest of a regular period ending on the first due
// date, and the payment is that principal plus the interest due. Then the extra payments of the
// period (one-offs plus active recurring ones, at most B) reduce B; B = 0 ends the loan.
// After a period with an extra payment or a holiday, or before a rate change, the policy
// applies: lower instalment recomputes E (Q) over the L - k periods left (one at least) at
// r_{k+1}; shorter term keeps E and sets L = k + ceil(ln((E - rA) / (E - rB)) / ln(1 + r)
// - 1e-9) in double, r = r_{k+1}, A the balloon ((B - A) / E at r = 0), failing when
// r B >= E; with equal principal it keeps Q and sets L = k + ceil(B / Q). A loan not repaid by
// period 32767, running past the year 9999 or whose balance grows past 10^15 cents fails.
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
    double annualPercent = 0;  // read as the decimal typed, see nanoPercentOf
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

// c for the periodic rate: 0 for PerPeriod, else 12, 4, 2 or 1.
int compoundingsPerYear(Compounding compounding);

inline constexpr InterestBasis allInterestBases[] = {
    InterestBasis::Periodic, InterestBasis::Thirty360, InterestBasis::Actual365,
    InterestBasis::Actual360, InterestBasis::ActualActual};
inline constexpr Compounding allCompoundings[] = {Compounding::PerPeriod, Compounding::Monthly,
                                                  Compounding::Quarterly, Compounding::SemiAnnual,
                                                  Compounding::Annual};
inline constexpr Shape allShapes[] = {Shape::Annuity, Shape::EqualPrincipal};

enum class Policy { ShorterTerm, LowerInstalment };

inline constexpr Cents maxPrincipal = 100'000'000'000'000;
inline constexpr int maxMonths = 32767;
inline constexpr double maxAnnualPercent = 1000;

struct PlanInput {
    Cents principal = 0;       // 1 .. 100,000,000,000,000 cents
    int months = 0;            // 1 .. 32767
    double annualPercent = 0;  // 0 .. 1000, read as the decimal typed, see nanoPercentOf
    QDate startDate;           // monthly: row k is due startDate + k calendar months
    std::vector<Event> events;
    Policy policy = Policy::ShorterTerm;
    InstalmentRounding instalmentRounding = InstalmentRounding::NearestCent;
    InterestRounding interestRounding = InterestRounding::HalfUp;

    // The loan's terms beyond a plain monthly annuity; the defaults are one.
    Frequency frequency = Frequency::Monthly;
    QDate firstDue;  // invalid: one regular period after the start; else after the start
    InterestBasis basis = InterestBasis::Periodic;
    Compounding compounding = Compounding::PerPeriod;
    Shape shape = Shape::Annuity;
    int interestOnly = 0;  // the first K periods pay the interest only
    int grace = 0;         // the first K periods pay nothing; the interest is added to the balance
    Cents balloon = 0;     // below the principal, left for the last payment; annuities only
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
// of month 7."; "period" for loans not paid monthly).
struct PlanResult {
    std::optional<Plan> plan;
    QString error;
};

// Which entry of the input a problem belongs to: the loan itself (event -1) or one event.
enum class Field {
    Principal,
    Months,
    Rate,
    StartDate,
    Month,
    EndMonth,
    Amount,
    FirstDue,
    InterestOnly,
    Grace,
    Balloon
};
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

// The rate per payment of an annual rate under the loan's frequency and compounding.
PeriodRate periodicRate(const PlanInput& loan, NanoPercent annual);

// The interest on a balance from one date to another by a day-count basis (not periodic), at an
// annual rate in billionths of a percent: balance x rate x the basis's year fraction, rounded
// once by the rule.
Cents dayCountInterest(Cents balance, NanoPercent annual, const QDate& from, const QDate& to,
                       InterestBasis basis, InterestRounding rounding);

// The loan without events, under the same roundings.
PlanResult computeBaseline(const PlanInput& input);

// The same loan without events, under the same roundings, against the plan.
Comparison compare(const PlanInput& input, const Plan& plan);
// The same, with the loan without events already computed.
Comparison compare(const Plan& plan, const PlanResult& baseline);

}  // namespace planner
