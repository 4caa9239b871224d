#pragma once

#include "core/Frequency.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The annual percentage rate of a credit given as dated advances (money lent) and payments
// (money repaid), all in whole cents, by either of two legal methods.
//
// Us, the actuarial method of the US Truth in Lending rules: the unit period is the standard
// interval (days, weeks, a semi-month, months up to a year) that occurs most often between
// payments, between advances and from the first advance to the first payment, the smaller on a
// tie; with no interval occurring twice, the standard interval nearest their average; a single
// payment within a year makes the whole term the unit period. Each flow lies t whole unit
// periods plus a fraction f after the first advance, counted back from its date: the fraction is
// the remaining whole months times 30 plus the remaining days, over 30 per month of the unit
// period (15 for a semi-month, 7 per week). The unit-period rate i solves
//   sum of advances / ((1 + f i)(1 + i)^t) = sum of payments / ((1 + f i)(1 + i)^t),
// and the rate is 100 i times the unit periods in a year (12 per month, 24, 52 per week, 365).
//
// Eu, the annual percentage rate of charge of the EU consumer credit rules (also the UK's):
//   sum of advances (1 + X)^-t = sum of payments (1 + X)^-t,
// t in years from the first advance: whole calendar months over 12 where every flow falls a
// whole number of months after it, else whole weeks over 52 where every flow falls a whole
// number of weeks after it, else days over 365. The rate is 100 X.
//
// Both are solved by Newton's method kept inside a bisection bracket, to 1e-9 of a percent.
// A month counts from a day to the same day, a month's last day to another's last day, and a
// day missing from a shorter month to that month's last day.
namespace apr {

using Cents = std::int64_t;

enum class Method { Us, Eu };

// "us", "eu".
std::string_view name(Method method);
std::optional<Method> methodFromName(std::string_view text);

struct Flow {
    QDate date;
    Cents amount = 0;
    bool operator==(const Flow&) const = default;
};

struct Flows {
    std::vector<Flow> advances;
    std::vector<Flow> payments;
};

// count payments of amount, the first on `first`, one step of the frequency apart; semi-monthly
// on first's day and the day 15 later.
std::vector<Flow> series(Cents amount, int count, const QDate& first,
                         calendar::Frequency frequency);

struct Answer {
    double percent = 0;
    // Us: "month", "3 months", "semi-month", "week", "2 weeks", "day", "255 days", "year";
    // Eu: "year of 12 months", "year of 52 weeks", "year of 365 days".
    QString unitPeriod;
    double unitPeriodsPerYear = 0;
};

struct Result {
    std::optional<Answer> answer;
    QString error;  // why no rate fits
};

Result annualPercentageRate(Method method, const Flows& flows);

}  // namespace apr
