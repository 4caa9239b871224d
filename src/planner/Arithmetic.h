#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The lender's arithmetic shared by the planner, the solver and the reconciler.
//
// Money is held in whole cents. The monthly rate is r = annual percent / 100 / 12 in double.
// The instalment of a balance B (currency units) over m months is E = (r * B) * (g / (g - 1))
// with g = (1 + r)^m, evaluated in that order, or B / m when 1 + r == 1. Lenders then round it
// to whole cents in one of four ways, and round each month's interest in one of three.
namespace planner {

using Cents = std::int64_t;

enum class InstalmentRounding { NearestCent, NearestUnit, UpCent, UpUnit };
enum class InterestRounding { HalfUp, HalfEven, Down };

inline constexpr InstalmentRounding allInstalmentRoundings[] = {
    InstalmentRounding::NearestCent, InstalmentRounding::NearestUnit, InstalmentRounding::UpCent,
    InstalmentRounding::UpUnit};
inline constexpr InterestRounding allInterestRoundings[] = {
    InterestRounding::HalfUp, InterestRounding::HalfEven, InterestRounding::Down};

double monthlyRate(double annualPercent);

// The unrounded instalment in currency units.
double annuity(double balanceUnits, double monthlyRate, int months);

// E in currency units to whole cents:
//   nearest cent  floor(E * 100 + 0.5)
//   nearest unit  100 * floor(E + 0.5)
//   up to a cent  the least whole number of cents not below E * 100 - 1e-6
//   up to a unit  100 * the least whole number not below E - 1e-8
Cents roundInstalment(double unitsE, InstalmentRounding rounding);

// An amount of cents (interest = balance in cents * r) to whole cents: half up is
// floor(x + 0.5), half even breaks ties to the even cent, down is floor(x).
Cents roundInterest(double cents, InterestRounding rounding);

// The rounded instalment of a balance in cents over m months at a monthly rate.
Cents instalment(Cents balance, double monthlyRate, int months, InstalmentRounding rounding);

// Stable names, used on the command line and in the settings store:
// nearest-cent, nearest-unit, up-cent, up-unit; half-up, half-even, down.
std::string_view name(InstalmentRounding rounding);
std::string_view name(InterestRounding rounding);
std::optional<InstalmentRounding> instalmentRoundingFromName(std::string_view text);
std::optional<InterestRounding> interestRoundingFromName(std::string_view text);

}  // namespace planner
