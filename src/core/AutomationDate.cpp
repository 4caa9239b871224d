#include "core/AutomationDate.h"

#include "core/Failure.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

using namespace std::chrono;

constexpr sys_days epoch = sys_days{year{1899} / December / 30};

[[noreturn]] void outOfRange() {
    throw Failure::platform(PlatformFailure::InvalidCall);
}

// Splits a date value into its day and its time of day; the fraction counts forward from
// midnight also before the epoch.
void split(double date, long long& day, double& fraction) {
    const double whole = std::trunc(date);
    day = static_cast<long long>(whole);
    fraction = std::fabs(date - whole);
}

double join(long long day, double fraction) {
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

year_month_day civil(long long day) {
    return year_month_day{epoch + days{day}};
}

long long serial(const year_month_day& ymd) {
    return (sys_days{ymd} - epoch).count();
}

int secondOfDay(double fraction) {
    if (fraction == 0) {
        return 0;  // most dates are midnight: no rounding needed
    }
    return static_cast<int>(std::min(std::llround(fraction * 86400.0), 86399LL));
}

bool yearInRange(int y) {
    return y >= 100 && y <= 9999;
}

}  // namespace

namespace AutomationDate {

bool inRange(double date) {
    // Before the epoch the fraction counts forward, so the first day runs down to minimum - 1.
    return std::isfinite(date) && date > minimum - 1.0 && date < maximum + 1.0 / 86400.0;
}

double fromDate(const QDate& date) {
    if (!date.isValid() || !yearInRange(date.year())) {
        outOfRange();
    }
    const year_month_day ymd{year{date.year()}, month{static_cast<unsigned>(date.month())},
                             day{static_cast<unsigned>(date.day())}};
    return static_cast<double>(serial(ymd));
}

double fromDateTime(const QDateTime& dateTime) {
    const double day = fromDate(dateTime.date());
    const double fraction = dateTime.time().msecsSinceStartOfDay() / 86400000.0;
    return join(static_cast<long long>(day), fraction);
}

QDate toDate(double date) {
    if (!inRange(date)) {
        return {};
    }
    long long day = 0;
    double fraction = 0;
    split(date, day, fraction);
    const year_month_day ymd = civil(day);
    return QDate(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                 static_cast<int>(static_cast<unsigned>(ymd.day())));
}

QTime toTime(double date) {
    if (!inRange(date)) {
        return {};
    }
    long long day = 0;
    double fraction = 0;
    split(date, day, fraction);
    return QTime::fromMSecsSinceStartOfDay(secondOfDay(fraction) * 1000);
}

std::optional<Fields> toFields(double date) {
    if (!inRange(date)) {
        return std::nullopt;
    }
    long long day = 0;
    double fraction = 0;
    split(date, day, fraction);
    const year_month_day ymd = civil(day);
    return Fields{static_cast<int>(ymd.year()),
                  static_cast<int>(static_cast<unsigned>(ymd.month())),
                  static_cast<int>(static_cast<unsigned>(ymd.day())), secondOfDay(fraction)};
}

QDateTime toDateTime(double date) {
    return QDateTime(toDate(date), toTime(date));
}

double addMonths(double date, int months) {
    return MonthSeries(date).at(months);
}

MonthSeries::MonthSeries(double start) {
    if (!inRange(start)) {
        outOfRange();
    }
    long long day = 0;
    split(start, day, m_fraction);
    const year_month_day ymd = civil(day);
    m_monthIndex = static_cast<int>(ymd.year()) * 12 +
                   static_cast<int>(static_cast<unsigned>(ymd.month())) - 1;
    m_day = static_cast<unsigned>(ymd.day());
}

double MonthSeries::at(int months) const {
    const long long index = static_cast<long long>(m_monthIndex) + months;
    // Floor division, so that the month stays in 1..12 for any index.
    const long long y = index >= 0 ? index / 12 : -((-index + 11) / 12);
    if (!yearInRange(static_cast<int>(std::clamp(y, -1LL, 10000LL)))) {
        outOfRange();
    }
    const year_month target{year{static_cast<int>(y)},
                            month{static_cast<unsigned>(index - y * 12 + 1)}};
    const unsigned last = static_cast<unsigned>(
        year_month_day_last{target.year(), month_day_last{target.month()}}.day());
    const day wanted{std::min(m_day, last)};
    return join(serial(year_month_day{target.year(), target.month(), wanted}), m_fraction);
}

}  // namespace AutomationDate
