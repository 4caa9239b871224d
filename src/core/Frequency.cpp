#include "core/Frequency.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace calendar {

namespace {

struct Facts {
    std::string_view name;
    int perYear;
    int months;
    int weeks;
};

constexpr Facts facts[] = {
    {"weekly", 52, 0, 1},       {"fortnightly", 26, 0, 2}, {"four-weekly", 13, 0, 4},
    {"semi-monthly", 24, 0, 0}, {"monthly", 12, 1, 0},     {"bimonthly", 6, 2, 0},
    {"quarterly", 4, 3, 0},     {"half-yearly", 2, 6, 0},  {"yearly", 1, 12, 0}};

const Facts& factsOf(Frequency frequency) {
    return facts[static_cast<int>(frequency)];
}

// Month index 0 is January of year 0.
QDate dateOf(long long monthIndex, int day) {
    const long long year = monthIndex >= 0 ? monthIndex / 12 : (monthIndex - 11) / 12;
    const int month = static_cast<int>(monthIndex - year * 12) + 1;
    if (year < 1 || year > 9999 + 1) {
        return {};
    }
    return QDate(static_cast<int>(year), month, std::min(day, lastDay(year, month)));
}

long long monthIndexOf(const QDate& date) {
    return static_cast<long long>(date.year()) * 12 + date.month() - 1;
}

}  // namespace

int lastDay(long long year, int month) {
    using namespace std::chrono;
    const year_month_day_last last{
        year_month_day_last{std::chrono::year{static_cast<int>(year)},
                            month_day_last{std::chrono::month{static_cast<unsigned>(month)}}}};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

std::string_view name(Frequency frequency) {
    return factsOf(frequency).name;
}

std::optional<Frequency> frequencyFromName(std::string_view text) {
    for (Frequency frequency : allFrequencies) {
        if (name(frequency) == text) {
            return frequency;
        }
    }
    return std::nullopt;
}

int paymentsPerYear(Frequency frequency) {
    return factsOf(frequency).perYear;
}

int monthsPerStep(Frequency frequency) {
    return factsOf(frequency).months;
}

int weeksPerStep(Frequency frequency) {
    return factsOf(frequency).weeks;
}

QDate addMonthsOnDay(const QDate& date, long long months, int day) {
    if (!date.isValid()) {
        return {};
    }
    return dateOf(monthIndexOf(date) + months, day);
}

DueDates::DueDates(const QDate& start, Frequency frequency, const QDate& firstDue)
    : m_frequency(frequency), m_start(start) {
    const Facts& f = factsOf(frequency);
    if (f.months > 0) {
        m_anchor = firstDue.isValid() ? firstDue : addMonthsOnDay(start, f.months, start.day());
        m_day = firstDue.isValid() ? firstDue.day() : start.day();
    } else if (f.weeks > 0) {
        m_anchor = firstDue.isValid() ? firstDue : start.addDays(7LL * f.weeks);
    } else {
        const int day = firstDue.isValid() ? firstDue.day() : start.day();
        m_a = day <= 15 ? day : std::min(day, 30) - 15;
        if (firstDue.isValid()) {
            m_anchor = firstDue;
            // The pay day of firstDue's month on or after it; a 31st counts as the second one.
            const long long base = monthIndexOf(firstDue) * 2;
            m_firstIndex = firstDue.day() < semiMonthly(base + 1).day() ? base : base + 1;
        } else {
            const long long base = monthIndexOf(start) * 2;
            m_firstIndex = base;
            while (semiMonthly(m_firstIndex) <= start) {
                ++m_firstIndex;
            }
            m_anchor = semiMonthly(m_firstIndex);
        }
    }
    m_anchorMonth = m_anchor.isValid() ? monthIndexOf(m_anchor) : 0;
}

QDate DueDates::semiMonthly(long long index) const {
    const long long monthIndex = index >= 0 ? index / 2 : (index - 1) / 2;
    const bool second = index - monthIndex * 2 == 1;
    return dateOf(monthIndex, second ? m_a + 15 : m_a);
}

QDate DueDates::at(long long k) const {
    if (k == 1 || !m_anchor.isValid()) {
        return m_anchor;
    }
    const Facts& f = factsOf(m_frequency);
    if (f.months > 0) {
        return dateOf(m_anchorMonth + (k - 1) * f.months, m_day);
    }
    if (f.weeks > 0) {
        const long long jd = m_anchor.toJulianDay() + (k - 1) * 7LL * f.weeks;
        const QDate date = QDate::fromJulianDay(jd);
        return date.isValid() && date.year() <= 9999 + 1 ? date : QDate();
    }
    return semiMonthly(m_firstIndex + k - 1);
}

QDate DueDates::regularFirst() const {
    return DueDates(m_start, m_frequency).at(1);
}

long long DueDates::nearestByAverageStep(const QDate& date) const {
    const double steps = static_cast<double>(at(1).daysTo(date)) / averageStepDays(m_frequency);
    return std::max<long long>(1, std::llround(steps) + 1);
}

double averageStepDays(Frequency frequency) {
    return 365.25 / paymentsPerYear(frequency);
}

}  // namespace calendar
