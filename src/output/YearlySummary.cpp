#include "output/YearlySummary.h"

#include <limits>

YearlySummary yearlySummary(const ScheduleValues& schedule, YearBasis basis) {
    YearlySummary summary;
    summary.basis = basis;
    summary.years.reserve(schedule.rows.size() / 12 + 2);
    // Due dates rise, so the calendar year is worked out only when a date leaves the current one.
    qint64 yearBegin = std::numeric_limits<qint64>::max();
    qint64 yearEnd = std::numeric_limits<qint64>::min();
    int calendarYear = 0;
    for (const ScheduleRowValues& row : schedule.rows) {
        int year = 0;
        if (basis == YearBasis::Loan) {
            year = (row.number - 1) / 12 + 1;
        } else {
            const qint64 day = row.due.toJulianDay();
            if (day < yearBegin || day >= yearEnd) {
                calendarYear = row.due.year();
                yearBegin = QDate(calendarYear, 1, 1).toJulianDay();
                yearEnd = QDate(calendarYear + 1, 1, 1).toJulianDay();
            }
            year = calendarYear;
        }
        if (summary.years.empty() || summary.years.back().year != year) {
            summary.years.push_back({year, row.number, row.number, 0, 0, 0});
        }
        SummaryYear& current = summary.years.back();
        current.lastInstalment = row.number;
        current.principal += row.principal;
        current.interest += row.interest;
        current.closing = row.closing;
        summary.principal += row.principal;
        summary.interest += row.interest;
    }
    return summary;
}
