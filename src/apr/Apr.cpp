#include "apr/Apr.h"

#include "core/Conversions.h"
#include "core/Frequency.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <utility>

using namespace Qt::StringLiterals;

namespace apr {

namespace {

enum class Kind { Day, Week, SemiMonth, Month, TermMonths, TermDays };

struct Unit {
    Kind kind = Kind::Month;
    int count = 1;

    double approximateDays() const {
        switch (kind) {
            case Kind::Day:
            case Kind::TermDays:
                return count;
            case Kind::Week:
                return 7.0 * count;
            case Kind::SemiMonth:
                return 365.0 / 24;
            case Kind::Month:
            case Kind::TermMonths:
                return 365.0 / 12 * count;
        }
        return 0;
    }

    double perYear() const {
        switch (kind) {
            case Kind::Day:
                return 365;
            case Kind::TermDays:
                return 365.0 / count;
            case Kind::Week:
                return 52.0 / count;
            case Kind::SemiMonth:
                return 24;
            case Kind::Month:
            case Kind::TermMonths:
                return 12.0 / count;
        }
        return 0;
    }

    QString text() const {
        switch (kind) {
            case Kind::Day:
                return u"day"_s;
            case Kind::TermDays:
                return u"%1 days"_s.arg(count);
            case Kind::Week:
                return count == 1 ? u"week"_s : u"%1 weeks"_s.arg(count);
            case Kind::SemiMonth:
                return u"semi-month"_s;
            case Kind::Month:
            case Kind::TermMonths:
                return count == 1    ? u"month"_s
                       : count == 12 ? u"year"_s
                                     : u"%1 months"_s.arg(count);
        }
        return {};
    }

    auto key() const { return std::pair(static_cast<int>(kind), count); }
};

// A flow's place on the time line, discounted by 1 / ((1 + f i)(1 + i)^t).
struct Term {
    double amount = 0;  // payments positive, advances negative, in currency units
    double t = 0;
    double f = 0;
};

// A calendar date with its parts read once: QDate derives them from the day number each time.
class Day {
public:
    Day() = default;
    Day(int year, int month, int day) : m_year(year), m_month(month), m_day(day) {
        using namespace std::chrono;
        m_serial = sys_days(year_month_day(std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))))
                       .time_since_epoch()
                       .count();
    }
    explicit Day(const QDate& date) {
        int year = 0;
        int month = 0;
        int day = 0;
        date.getDate(&year, &month, &day);
        *this = Day(year, month, day);
    }

    int year() const { return m_year; }
    int month() const { return m_month; }
    int day() const { return m_day; }
    int daysInMonth() const { return calendar::lastDay(m_year, m_month); }
    long long daysTo(const Day& other) const { return other.m_serial - m_serial; }
    auto operator<=>(const Day& other) const { return m_serial <=> other.m_serial; }
    bool operator==(const Day& other) const { return m_serial == other.m_serial; }

private:
    int m_year = 1;
    int m_month = 1;
    int m_day = 1;
    long long m_serial = 0;
};

long long monthIndex(const Day& date) {
    return static_cast<long long>(date.year()) * 12 + date.month() - 1;
}

// The date in a month (by index) on `day`, or the month's last day where it has fewer.
Day onMonth(long long index, int day) {
    const int year = static_cast<int>(index >= 0 ? index / 12 : (index - 11) / 12);
    const int month = static_cast<int>(index - static_cast<long long>(year) * 12) + 1;
    return Day(year, month, std::min(day, calendar::lastDay(year, month)));
}

bool isLastDay(const Day& date) {
    return date.day() == date.daysInMonth();
}

// The date `months` calendar months before `date`, keeping a month's last day the last day.
Day monthsBack(const Day& date, long long months) {
    return onMonth(monthIndex(date) - months, isLastDay(date) ? 31 : date.day());
}

// The whole number of months from a to b, if b falls on a's day (or the last-day rule allows).
std::optional<long long> monthsApart(const Day& a, const Day& b) {
    const bool sameDay = a.day() == b.day() || (b.day() < a.day() && isLastDay(b)) ||
                         (a.day() < b.day() && isLastDay(a));
    if (!sameDay) {
        return std::nullopt;
    }
    return monthIndex(b) - monthIndex(a);
}

// Whether b is the pay day after a in a semi-monthly series.
bool semiMonthApart(const Day& a, const Day& b) {
    if (a.day() <= 15) {
        return b.year() == a.year() && b.month() == a.month() &&
               b.day() == std::min(a.day() + 15, a.daysInMonth());
    }
    const int first = std::min(a.day(), 30) - 15;
    return monthIndex(b) == monthIndex(a) + 1 &&
           (b.day() == first || (isLastDay(a) && b.day() > first && b.day() <= 15));
}

std::optional<Unit> standardInterval(const Day& a, const Day& b) {
    if (const auto months = monthsApart(a, b); months && *months >= 1 && *months <= 12) {
        return Unit{Kind::Month, static_cast<int>(*months)};
    }
    if (semiMonthApart(a, b)) {
        return Unit{Kind::SemiMonth, 1};
    }
    const long long days = a.daysTo(b);
    if (days % 7 == 0 && days / 7 >= 1 && days / 7 <= 52) {
        return Unit{Kind::Week, static_cast<int>(days / 7)};
    }
    if (days == 1) {
        return Unit{Kind::Day, 1};
    }
    return std::nullopt;
}

std::vector<Day> sortedDays(std::vector<Day> days) {
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

std::optional<Unit> unitPeriod(const std::vector<Day>& advanceDays,
                               const std::vector<Day>& paymentDays, const Day& start) {
    const std::vector<Day> payments = sortedDays(paymentDays);
    const std::vector<Day> advances = sortedDays(advanceDays);
    if (advances.size() == 1 && payments.size() == 1) {
        const Day end = payments.front();
        if (end >= onMonth(monthIndex(start) + 12, start.day())) {
            return Unit{Kind::Month, 12};
        }
        if (const auto months = monthsApart(start, end); months && *months >= 1) {
            return Unit{Kind::TermMonths, static_cast<int>(*months)};
        }
        return Unit{Kind::TermDays, static_cast<int>(start.daysTo(end))};
    }
    std::vector<std::pair<Day, Day>> periods;
    if (payments.front() > start) {
        periods.emplace_back(start, payments.front());
    }
    for (const auto* dates : {&payments, &advances}) {
        for (std::size_t k = 1; k < dates->size(); ++k) {
            periods.emplace_back((*dates)[k - 1], (*dates)[k]);
        }
    }
    if (periods.empty()) {
        return std::nullopt;
    }
    std::map<std::pair<int, int>, std::pair<int, Unit>> counts;
    double totalDays = 0;
    for (const auto& [from, to] : periods) {
        totalDays += static_cast<double>(from.daysTo(to));
        if (const auto unit = standardInterval(from, to)) {
            auto& entry = counts[unit->key()];
            ++entry.first;
            entry.second = *unit;
        }
    }
    std::optional<Unit> best;
    int bestCount = 1;  // a common period occurs more than once
    for (const auto& [key, entry] : counts) {
        const auto& [count, unit] = entry;
        if (count > bestCount ||
            (count == bestCount && best && unit.approximateDays() < best->approximateDays())) {
            best = unit;
            bestCount = count;
        }
    }
    if (best) {
        return best;
    }
    // No common period: the standard interval nearest the average period.
    const double average = totalDays / static_cast<double>(periods.size());
    std::vector<Unit> candidates{Unit{Kind::Day, 1}, Unit{Kind::SemiMonth, 1}};
    for (int w = 1; w <= 52; ++w) {
        candidates.push_back(Unit{Kind::Week, w});
    }
    for (int m = 1; m <= 12; ++m) {
        candidates.push_back(Unit{Kind::Month, m});
    }
    return *std::min_element(candidates.begin(), candidates.end(),
                             [&](const Unit& x, const Unit& y) {
                                 return std::abs(x.approximateDays() - average) <
                                        std::abs(y.approximateDays() - average);
                             });
}

// The semi-monthly pay day `steps` before date, on date's pair of days.
Day semiMonthsBack(const Day& date, long long steps) {
    const bool second = date.day() > 15;
    const int first = second ? std::min(date.day(), 30) - 15 : date.day();
    const long long position = monthIndex(date) * 2 + (second ? 1 : 0) - steps;
    const long long month = position >= 0 ? position / 2 : (position - 1) / 2;
    const bool onSecond = position - month * 2 == 1;
    return onMonth(month, onSecond ? first + 15 : first);
}

// Whole unit periods and the fraction of one from start to date, counted back from date.
std::pair<double, double> usTime(const Day& start, const Day& date, const Unit& unit) {
    const long long days = start.daysTo(date);
    switch (unit.kind) {
        case Kind::Day:
            return {static_cast<double>(days), 0};
        case Kind::TermDays:
        case Kind::TermMonths:
            return {days > 0 ? 1.0 : 0.0, 0};
        case Kind::Week: {
            const long long length = 7LL * unit.count;
            return {static_cast<double>(days / length),
                    static_cast<double>(days % length) / static_cast<double>(length)};
        }
        case Kind::SemiMonth: {
            long long steps = (monthIndex(date) - monthIndex(start)) * 2 + 2;
            while (steps > 0 && semiMonthsBack(date, steps) < start) {
                --steps;
            }
            return {static_cast<double>(steps),
                    static_cast<double>(start.daysTo(semiMonthsBack(date, steps))) / 15.0};
        }
        case Kind::Month: {
            long long months = monthIndex(date) - monthIndex(start);
            while (months > 0 && monthsBack(date, months) < start) {
                --months;
            }
            const long long remainingDays = start.daysTo(monthsBack(date, months));
            const long long whole = months / unit.count;
            const long long remainingMonths = months % unit.count;
            return {
                static_cast<double>(whole),
                static_cast<double>(30 * remainingMonths + remainingDays) / (30.0 * unit.count)};
        }
    }
    return {0, 0};
}

double units(Cents cents) {
    return static_cast<double>(cents) / 100.0;
}

// Sum of the flows discounted at rate x, and its derivative.
std::pair<double, double> presentValue(const std::vector<Term>& terms, double x) {
    const double logGrowth = std::log1p(x);
    double value = 0;
    double slope = 0;
    for (const Term& term : terms) {
        const double simple = 1.0 + term.f * x;
        const double discounted = term.amount / (simple * std::exp(term.t * logGrowth));
        value += discounted;
        slope -= discounted * (term.f / simple + term.t / (1.0 + x));
    }
    return {value, slope};
}

// The positive rate where the present value of the flows is 0, to within tolerance.
std::optional<double> solve(const std::vector<Term>& terms, double tolerance) {
    double low = 0;
    double high = 1;
    while (presentValue(terms, high).first >= 0) {
        low = high;
        high *= 2;
        if (high > 1e6) {
            return std::nullopt;
        }
    }
    double x = std::clamp(0.01, low + (high - low) / 1024, low + (high - low) / 2);
    for (int iteration = 0; iteration < 400; ++iteration) {
        const auto [value, slope] = presentValue(terms, x);
        if (value == 0) {
            return x;
        }
        (value > 0 ? low : high) = x;
        double next = slope != 0 ? x - value / slope : low;
        if (!(next > low && next < high)) {
            next = low + (high - low) / 2;
        }
        if (std::abs(next - x) < tolerance || high - low < tolerance) {
            return next;
        }
        x = next;
    }
    return x;
}

}  // namespace

std::string_view name(Method method) {
    return method == Method::Us ? "us" : "eu";
}

std::optional<Method> methodFromName(std::string_view text) {
    if (text == "us") {
        return Method::Us;
    }
    if (text == "eu") {
        return Method::Eu;
    }
    return std::nullopt;
}

std::vector<Flow> series(Cents amount, int count, const QDate& first,
                         calendar::Frequency frequency) {
    std::vector<Flow> flows;
    flows.reserve(static_cast<std::size_t>(std::max(count, 0)));
    const calendar::DueDates dates(first, frequency, first);
    for (int k = 1; k <= count; ++k) {
        flows.push_back(Flow{dates.at(k), amount});
    }
    return flows;
}

Result annualPercentageRate(Method method, const Flows& flows) {
    Result result;
    if (flows.advances.empty() || flows.payments.empty()) {
        result.error = u"There must be at least one advance and one payment."_s;
        return result;
    }
    for (const auto* list : {&flows.advances, &flows.payments}) {
        for (const Flow& flow : *list) {
            if (!flow.date.isValid() || flow.date.year() < 1 || flow.date.year() > 9999) {
                result.error = u"A date lies outside the years 1 to 9999."_s;
                return result;
            }
        }
    }
    QDate start = flows.advances.front().date;
    Cents advanced = 0;
    Cents repaid = 0;
    for (const Flow& flow : flows.advances) {
        start = std::min(start, flow.date);
        advanced += flow.amount;
    }
    for (const Flow& flow : flows.payments) {
        repaid += flow.amount;
    }
    for (const Flow& flow : flows.payments) {
        if (flow.date < start) {
            result.error = u"The payment on %1 comes before the first advance."_s.arg(
                flow.date.toString(Qt::ISODate));
            return result;
        }
    }
    if (repaid <= advanced) {
        result.error = u"The payments of %1 do not exceed the advances of %2."_s.arg(
            plainCentsText(repaid), plainCentsText(advanced));
        return result;
    }

    const auto daysOf = [](const std::vector<Flow>& list) {
        std::vector<Day> days;
        days.reserve(list.size());
        for (const Flow& flow : list) {
            days.emplace_back(flow.date);
        }
        return days;
    };
    const std::vector<Day> advanceDays = daysOf(flows.advances);
    const std::vector<Day> paymentDays = daysOf(flows.payments);
    const Day first(start);
    // Each flow's place in time as (t, f); payments count positive, advances negative.
    std::vector<Term> terms;
    terms.reserve(flows.advances.size() + flows.payments.size());
    const auto addTerms = [&](const auto& timeOf) {
        for (std::size_t k = 0; k < advanceDays.size(); ++k) {
            const auto [t, f] = timeOf(advanceDays[k]);
            terms.push_back(Term{-units(flows.advances[k].amount), t, f});
        }
        for (std::size_t k = 0; k < paymentDays.size(); ++k) {
            const auto [t, f] = timeOf(paymentDays[k]);
            terms.push_back(Term{units(flows.payments[k].amount), t, f});
        }
    };
    Answer answer;
    if (method == Method::Us) {
        const auto unit = unitPeriod(advanceDays, paymentDays, first);
        if (!unit) {
            result.error = u"The flows have no period between them."_s;
            return result;
        }
        addTerms([&](const Day& day) { return usTime(first, day, *unit); });
        answer.unitPeriod = unit->text();
        answer.unitPeriodsPerYear = unit->perYear();
    } else {
        bool months = true;
        bool weeks = true;
        for (const auto* days : {&advanceDays, &paymentDays}) {
            for (const Day& day : *days) {
                months = months && monthsApart(first, day).has_value();
                weeks = weeks && first.daysTo(day) % 7 == 0;
            }
        }
        addTerms([&](const Day& day) {
            const long long days = first.daysTo(day);
            const double years = months  ? static_cast<double>(*monthsApart(first, day)) / 12.0
                                 : weeks ? static_cast<double>(days / 7) / 52.0
                                         : static_cast<double>(days) / 365.0;
            return std::pair(years, 0.0);
        });
        answer.unitPeriod = months  ? u"year of 12 months"_s
                            : weeks ? u"year of 52 weeks"_s
                                    : u"year of 365 days"_s;
        answer.unitPeriodsPerYear = 1;
    }
    const auto rate = solve(terms, 1e-11 / answer.unitPeriodsPerYear);
    if (!rate) {
        result.error = u"No rate makes the payments worth the advances."_s;
        return result;
    }
    answer.percent = *rate * answer.unitPeriodsPerYear * 100.0;
    result.answer = answer;
    return result;
}

}  // namespace apr
