#include "planner/Arithmetic.h"

#include <cmath>

namespace planner {

namespace {

constexpr std::string_view instalmentNames[] = {"nearest-cent", "nearest-unit", "up-cent",
                                                "up-unit"};
constexpr std::string_view interestNames[] = {"half-up", "half-even", "down"};

}  // namespace

double monthlyRate(double annualPercent) {
    return annualPercent / 100.0 / 12.0;
}

double annuity(double balanceUnits, double r, int months) {
    if (1.0 + r == 1.0) {
        return balanceUnits / months;
    }
    const double g = std::pow(1.0 + r, months);
    if (std::isinf(g)) {
        // Any g beyond 2^53 already makes g / (g - 1) exactly 1; inf / inf would be NaN.
        return r * balanceUnits;
    }
    return (r * balanceUnits) * (g / (g - 1.0));
}

Cents roundInstalment(double e, InstalmentRounding rounding) {
    switch (rounding) {
    case InstalmentRounding::NearestCent:
        return static_cast<Cents>(std::floor(e * 100.0 + 0.5));
    case InstalmentRounding::NearestUnit:
        return 100 * static_cast<Cents>(std::floor(e + 0.5));
    case InstalmentRounding::UpCent:
        return static_cast<Cents>(std::ceil(e * 100.0 - 1e-6));
    case InstalmentRounding::UpUnit:
        return 100 * static_cast<Cents>(std::ceil(e - 1e-8));
    }
    return 0;
}

Cents roundInterest(double x, InterestRounding rounding) {
    switch (rounding) {
    case InterestRounding::HalfUp:
        return static_cast<Cents>(std::floor(x + 0.5));
    case InterestRounding::HalfEven: {
        const double down = std::floor(x);
        const double fraction = x - down;
        if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0)) {
            return static_cast<Cents>(down) + 1;
        }
        return static_cast<Cents>(down);
    }
    case InterestRounding::Down:
        return static_cast<Cents>(std::floor(x));
    }
    return 0;
}

Cents instalment(Cents balance, double r, int months, InstalmentRounding rounding) {
    return roundInstalment(annuity(static_cast<double>(balance) / 100.0, r, months), rounding);
}

std::string_view name(InstalmentRounding rounding) {
    return instalmentNames[static_cast<int>(rounding)];
}

std::string_view name(InterestRounding rounding) {
    return interestNames[static_cast<int>(rounding)];
}

std::optional<InstalmentRounding> instalmentRoundingFromName(std::string_view text) {
    for (auto rounding : allInstalmentRoundings) {
        if (name(rounding) == text) {
            return rounding;
        }
    }
    return std::nullopt;
}

std::optional<InterestRounding> interestRoundingFromName(std::string_view text) {
    for (auto rounding : allInterestRoundings) {
        if (name(rounding) == text) {
            return rounding;
        }
    }
    return std::nullopt;
}

}  // namespace planner
