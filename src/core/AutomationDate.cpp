#include "core/AutomationDate.h"

#include "core/Failure.h"

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
    if (!inRange(date)) {
        outOfRange();
    }
    long long day = 0;
    double fraction = 0;
    split(date, day, fraction);
    const year_month_day start = civil(day);
    const year_month target = year_month{start.year(), start.month()} + std::chrono::months{months};
    if (!target.ok() || !yearInRange(static_cast<int>(target.year()))) {
        outOfRange();
    }
    const year_month_day_last last{target.year(), month_day_last{target.month()}};
    const std::chrono::day wanted = std::min(start.day(), last.day());
    return join(serial(year_month_day{target.year(), target.month(), wanted}), fraction);
}

}  // namespace AutomationDate
