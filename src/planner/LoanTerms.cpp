#include "planner/Planner.h"

namespace planner {

namespace {

constexpr std::string_view basisNames[] = {"periodic", "30/360", "actual/365", "actual/360",
                                           "actual/actual"};
constexpr std::string_view compoundingNames[] = {"per-period", "monthly", "quarterly",
                                                 "semi-annual", "annual"};
constexpr std::string_view shapeNames[] = {"annuity", "equal-principal"};

template <typename Enum, std::size_t N>
std::optional<Enum> fromName(const std::string_view (&names)[N], std::string_view text) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == text) {
            return static_cast<Enum>(i);
        }
    }
    return std::nullopt;
}

}  // namespace

std::string_view name(InterestBasis basis) {
    return basisNames[static_cast<int>(basis)];
}

std::string_view name(Compounding compounding) {
    return compoundingNames[static_cast<int>(compounding)];
}

std::string_view name(Shape shape) {
    return shapeNames[static_cast<int>(shape)];
}

int compoundingsPerYear(Compounding compounding) {
    constexpr int perYear[] = {0, 12, 4, 2, 1};
    return perYear[static_cast<int>(compounding)];
}

PeriodRate periodicRate(const PlanInput& loan, NanoPercent annual) {
    return periodicRate(annual, calendar::paymentsPerYear(loan.frequency),
                        compoundingsPerYear(loan.compounding));
}

std::optional<InterestBasis> basisFromName(std::string_view text) {
    return fromName<InterestBasis>(basisNames, text);
}

std::optional<Compounding> compoundingFromName(std::string_view text) {
    return fromName<Compounding>(compoundingNames, text);
}

std::optional<Shape> shapeFromName(std::string_view text) {
    return fromName<Shape>(shapeNames, text);
}

}  // namespace planner
