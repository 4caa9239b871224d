#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The lender's arithmetic shared by the planner, the solver and the reconciler.
//
// Money is held in whole cents. The exact arithmetic of the planner: an annual rate is the
// decimal the user typed, kept as whole billionths of a percent (nanoPercentOf recovers it from
// the double that carries it: the shortest decimal that reads back as that double, to 9
// decimals). A rate per period is an exact fraction. Interest is the exact fraction
// balance x rate x time, rounded once by the interest rule. The instalment of a balance B with
// a balloon A over N payments at the periodic rate r, E = (B - A v) r / (1 - v) with
// v = (1 + r)^-N ((B - A) / N at r = 0), is rounded by the instalment rule as the exact value
// would be: a double estimate decides when it lies far from the rounding's boundary, else a
// 60-digit one, else exact integers (a tie, as in 301.875 over one month).
//
namespace planner {

using Cents = std::int64_t;
// Whole billionths of a percent: 7.5 % is 7'500'000'000.
using NanoPercent = std::int64_t;
// 1 = 100 % = 1e11 billionths of a percent.
inline constexpr NanoPercent nanoPerUnit = 100'000'000'000;
__extension__ typedef __int128 Wide;
// Instalments and interest at or above this saturate to it; no loan the planner accepts gets there.
inline constexpr Cents largeCents = Cents{1} << 61;

enum class InstalmentRounding { NearestCent, NearestUnit, UpCent, UpUnit };
enum class InterestRounding { HalfUp, HalfEven, Down };

inline constexpr InstalmentRounding allInstalmentRoundings[] = {
    InstalmentRounding::NearestCent, InstalmentRounding::NearestUnit, InstalmentRounding::UpCent,
    InstalmentRounding::UpUnit};
inline constexpr InterestRounding allInterestRoundings[] = {
    InterestRounding::HalfUp, InterestRounding::HalfEven, InterestRounding::Down};

// The exact decimal the double carries, to 9 decimals; 0 for a value that is not finite.
NanoPercent nanoPercentOf(double annualPercent);

// A rate per period, numerator / denominator.
struct PeriodRate {
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;
    double value() const { return static_cast<double>(numerator) / denominator; }
    friend bool operator==(const PeriodRate&, const PeriodRate&) = default;
};

// The rate per period of m payments a year: R / 100 / m exactly when the rate compounds as
// often as payments fall (compoundingsPerYear 0 or m), else (1 + R / 100 / c)^(c / m) - 1
// rounded half up to 12 decimals.
PeriodRate periodicRate(NanoPercent annual, int paymentsPerYear, int compoundingsPerYear = 0);

// The rounded instalment E above of a balance with a balloon (at most the balance counts) over
// `payments` payments.
Cents instalment(Cents balance, PeriodRate rate, long long payments, Cents balloon,
                 InstalmentRounding rounding);

// The equal principal part B / N, rounded half up to cents.
Cents equalPrincipal(Cents balance, long long payments);

// numerator / denominator (both positive, or a zero numerator) to whole cents by the rule.
Cents roundQuotient(Wide numerator, Wide denominator, InterestRounding rounding);

// Stable names, used on the command line and in the settings store:
// nearest-cent, nearest-unit, up-cent, up-unit; half-up, half-even, down.
std::string_view name(InstalmentRounding rounding);
std::string_view name(InterestRounding rounding);
std::optional<InstalmentRounding> instalmentRoundingFromName(std::string_view text);
std::optional<InterestRounding> interestRoundingFromName(std::string_view text);

}  // namespace planner
