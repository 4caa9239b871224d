#pragma once

#include <QDate>

#include <optional>
#include <string_view>

// How often a loan is paid, and the due dates that follow from it. Shared by the loan engine and
// the APR of dated cash flows.
//
// Month-based frequencies step whole calendar months and keep the anchor's day, or the month's
// last day where it has fewer days. Week-based ones step whole weeks. Semi-monthly pays twice a
// month on days a and a + 15 (the latter falling back to the month's last day), where a is the
// anchor's day A when A <= 15, else min(A, 30) - 15.
namespace calendar {

enum class Frequency {
    Weekly,
    Fortnightly,
    FourWeekly,
    SemiMonthly,
    Monthly,
    Bimonthly,
    Quarterly,
    HalfYearly,
    Yearly
};

inline constexpr Frequency allFrequencies[] = {
    Frequency::Weekly,      Frequency::Fortnightly, Frequency::FourWeekly,
    Frequency::SemiMonthly, Frequency::Monthly,     Frequency::Bimonthly,
    Frequency::Quarterly,   Frequency::HalfYearly,  Frequency::Yearly};

// weekly, fortnightly, four-weekly, semi-monthly, monthly, bimonthly, quarterly, half-yearly,
// yearly: the names of the command line and the settings store.
std::string_view name(Frequency frequency);
std::optional<Frequency> frequencyFromName(std::string_view text);

int paymentsPerYear(Frequency frequency);  // 52, 26, 13, 24, 12, 6, 4, 2, 1
// The last day of a month (1 to 12) of the proleptic Gregorian calendar.
int lastDay(long long year, int month);
// A year of 365.25 days over the payments in it.
double averageStepDays(Frequency frequency);
int monthsPerStep(Frequency frequency);  // 1, 2, 3, 6, 12 for month-based, else 0
int weeksPerStep(Frequency frequency);   // 1, 2, 4 for week-based, else 0

// The date `months` calendar months after `date`, on `day` or the month's last day.
QDate addMonthsOnDay(const QDate& date, long long months, int day);

// The due dates of a loan. Without a first due date, payment k is due k steps after the start
// (month-based: on the start's day; semi-monthly: the k-th pay day after the start). With a first
// due date F, payment 1 is due on F and payment k on F plus k - 1 steps, keeping F's day.
// Every date is O(1) to compute, however large k is.
class DueDates {
public:
    DueDates(const QDate& start, Frequency frequency, const QDate& firstDue = {});

    QDate at(long long k) const;  // k >= 1; invalid past the calendar's range
    const QDate& start() const { return m_start; }
    Frequency frequency() const { return m_frequency; }
    // The date the loan's regular first period would end on, had no first due date been given.
    QDate regularFirst() const;
    // The payment that average steps from payment 1 put nearest to the date, at least 1: where
    // a search for the exact one starts.
    long long nearestByAverageStep(const QDate& date) const;

private:
    QDate semiMonthly(long long index) const;  // the index-th pay day, counted from month 0

    Frequency m_frequency;
    QDate m_anchor;               // the date payment 1 falls on
    long long m_anchorMonth = 0;  // its month, counted from January of year 0
    int m_day = 1;                // month-based: the day kept
    int m_a = 1;                  // semi-monthly: the first day of the pair
    long long m_firstIndex = 0;   // semi-monthly: index of payment 1
    QDate m_start;
};

}  // namespace calendar
