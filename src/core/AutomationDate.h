#pragma once

#include <QDate>
#include <QDateTime>

#include <optional>

// The program's date value: days since 30 December 1899 as a double, the fraction being the
// time of day. For negative values the fraction still counts forward from midnight
// (-1.25 is 29 December 1899, 06:00). The valid range is the years 100 to 9999.
namespace AutomationDate {

inline constexpr double minimum = -657434.0;            // 1 January 100, 00:00
inline constexpr double maximum = 2958465.99998842593;  // 31 December 9999, 23:59:59

bool inRange(double date);

// Midnight of the given calendar date. Throws Failure(InvalidCall) outside years 100..9999.
double fromDate(const QDate& date);
double fromDateTime(const QDateTime& dateTime);

QDate toDate(double date);          // the date part
QTime toTime(double date);          // the time of day, to the second
QDateTime toDateTime(double date);  // local, no time zone arithmetic

// The calendar fields of a date value, for formatting many dates without QDate.
struct Fields {
    int year;
    int month;
    int day;
    int secondOfDay;  // the time of day, to the second
};
std::optional<Fields> toFields(double date);  // nothing outside the valid range

// Advances by whole calendar months, keeping the time of day and the day of the month; a day
// that the target month lacks becomes its last day. Throws Failure(InvalidCall) when the input
// or the result lies outside years 100..9999.
double addMonths(double date, int months);

// addMonths from one start date for many month counts, without taking the start apart each
// time.
class MonthSeries {
public:
    // Throws Failure(InvalidCall) for a start outside the valid range.
    explicit MonthSeries(double start);
    // The same as addMonths(start, months), failures included.
    double at(int months) const;

private:
    int m_monthIndex;  // year * 12 + month - 1
    unsigned m_day;
    double m_fraction;
};

}  // namespace AutomationDate
